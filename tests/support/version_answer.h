#pragma once

#include <string>

#include "host/version.h"

namespace morel_test {

// The host's answer to "get_version" for the request numbered `id`, with the build's version.
inline std::string VersionAnswer(int id) {
  return R"({"id":)" + std::to_string(id) + R"(,"result":")" + morel_xy::kMorelVersion + R"("})";
}

}  // namespace morel_test
