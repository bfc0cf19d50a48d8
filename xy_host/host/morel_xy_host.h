#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "actions/mouse.h"
#include "desktop/desktop.h"
#include "desktop/process_table.h"
#include "native_messaging/native_messaging_host.h"
#include "records/bitmap.h"
#include "records/color.h"
#include "records/display_info.h"
#include "records/rect.h"

namespace morel_xy {

using morel::json;

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

// The host's methods: reads each method's parameters, performs the operation on the desktop
// and wraps its outcome in a response. Keeps what the host remembers between requests (where
// it last put the pointer). Single-threaded, as the channel is.
class MorelXYHost : public morel::NativeMessagingHost<MorelXYMethod> {
 public:
  static const std::vector<std::pair<std::string, MorelXYMethod>> s_methodMap;

  // `desktop` and `processes` must outlive the host. "find_rectangle" writes each capture it
  // searches to `screenshotPath`.
  explicit MorelXYHost(Desktop& desktop, std::string screenshotPath = "screenshot.bmp",
                       FILE* in = stdin, FILE* out = stdout,
                       const ProcessTable& processes = ProcessTable::System());

  morel::HostResponse ProcessRequest(MorelXYMethod method, const json& params) override;

  // The first display of the current list that is primary / whose id equals `id`.
  std::optional<DisplayInfo> FindPrimaryDisplay();
  std::optional<DisplayInfo> FindDisplayById(const std::string& id);

 private:
  morel::HostResponse HandleFindRectangle(const json& params);

  Desktop& m_desktop;
  const ProcessTable& m_processes;
  std::string m_screenshotPath;
  // The last event handed to the mouse; all zero until the first, so the pointer is taken to
  // start at (0, 0).
  MouseEvent m_lastMouseEvent{};
};

}  // namespace morel_xy
