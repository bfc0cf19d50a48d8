# ASan + UBSan for the whole build (first-party code and the tests), so CI can run
# the test suite under the sanitizers as a separate build tree. Fuzzer builds use them too.
#
# -O1 and line tables only (-g1): the level the sanitizers are meant for, fast enough to run,
# and about half the compile time of -O2 -g, which the build type would otherwise give (these
# options come after the build type's).
if(MOREL_SANITIZE OR MOREL_BUILD_FUZZERS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined -O1 -g1)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer for the ocr tests (make tsan-test): ocr's page workers share the engines,
# the results and standard error. It cannot be combined with ASan.
option(MOREL_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(MOREL_SANITIZE_THREAD)
  if(MOREL_SANITIZE OR MOREL_BUILD_FUZZERS)
    message(FATAL_ERROR "MOREL_SANITIZE_THREAD cannot be combined with MOREL_SANITIZE")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1 -g1)
  add_link_options(-fsanitize=thread)
endif()
