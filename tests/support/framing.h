#pragma once

// The native-messaging channel's framing, for tests that write channel input by hand. Header
// only: tests that must stay small processes (no libX11) include it without linking the
// support library.

#include <cstdint>
#include <string>

namespace morel_test {

// A 4-byte length prefix in native byte order, announcing `length` body bytes.
inline std::string Length(uint32_t length) {
  return std::string(reinterpret_cast<const char*>(&length), sizeof length);
}

// A frame: the length of `body`, then `body`.
inline std::string Frame(const std::string& body) {
  return Length(static_cast<uint32_t>(body.size())) + body;
}

}  // namespace morel_test
