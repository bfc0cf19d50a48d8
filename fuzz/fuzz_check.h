#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant in a fuzz target: say which, then abort so libFuzzer keeps the input.
#define FUZZ_CHECK(condition, message)                                                      \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: check failed: %s: %s\n", __FILE__, __LINE__, #condition, \
                   message);                                                                \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)
