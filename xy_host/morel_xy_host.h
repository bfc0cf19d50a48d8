#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "native_messaging/native_messaging_host.h"
#include "records.h"

namespace morel_xy {

enum class MorelXYMethod : int32_t {
  GetVersion = 0,
  SendMouseEvent = 1,
  SendMouseWheelEvent = 2,
  SendText = 3,
  GetActiveBrowserOuterRect = 4,
  FindRectangle = 5,
  GetScreenBackingScaleFactor = 6,
  GetDisplayList = 7,
};

// The host's methods: reads each method's parameters, calls the operation and wraps its
// outcome in a response.
class MorelXYHost : public morel::NativeMessagingHost<MorelXYMethod> {
 public:
  static const std::vector<std::pair<std::string, MorelXYMethod>> s_methodMap;

  explicit MorelXYHost(int32_t mode = 0, FILE* in = stdin, FILE* out = stdout)
      : NativeMessagingHost(mode, s_methodMap, in, out) {}

  morel::HostResponse ProcessRequest(MorelXYMethod method, const json& params) override;

  // The first display of the current list that is primary / whose id equals `id`.
  static std::optional<DisplayInfo> FindPrimaryDisplay();
  static std::optional<DisplayInfo> FindDisplayById(const std::string& id);
};

}  // namespace morel_xy
