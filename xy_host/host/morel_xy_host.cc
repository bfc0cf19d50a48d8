#include "host/morel_xy_host.h"

#include "actions/displays.h"
#include "actions/exact_rect_finder.h"
#include "actions/text.h"
#include "actions/truncation.h"
#include "actions/windows.h"
#include "host/parameters.h"
#include "host/version.h"

namespace morel_xy {

using morel::HostResponse;

const std::vector<std::pair<std::string, MorelXYMethod>> MorelXYHost::s_methodMap = {
    {"get_version", MorelXYMethod::GetVersion},
    {"send_mouse_event", MorelXYMethod::SendMouseEvent},
    {"send_mouse_wheel_event", MorelXYMethod::SendMouseWheelEvent},
    {"send_text", MorelXYMethod::SendText},
    {"get_active_browser_outer_rect", MorelXYMethod::GetActiveBrowserOuterRect},
    {"find_rectangle", MorelXYMethod::FindRectangle},
    {"get_screen_backing_scale_factor", MorelXYMethod::GetScreenBackingScaleFactor},
    {"get_display_list", MorelXYMethod::GetDisplayList},
};

namespace {

constexpr int kFindRectangleTolerance = 5;

MouseEvent ReadMouseEvent(const json& params) {
  MouseEvent event;
  event.type = static_cast<MouseEventType>(RequiredNumber<uint32_t>(params, "type"));
  event.button = static_cast<MouseButton>(RequiredNumber<uint32_t>(params, "button"));
  event.x = RequiredNumber<int32_t>(params, "x");
  event.y = RequiredNumber<int32_t>(params, "y");
  return event;
}

MouseWheelEvent ReadMouseWheelEvent(const json& params) {
  MouseWheelEvent event;
  event.deltaX = RequiredNumber<int32_t>(params, "deltaX");
  event.deltaY = RequiredNumber<int32_t>(params, "deltaY");
  event.deltaZ = RequiredNumber<int32_t>(params, "deltaZ");
  return event;
}

HostResponse OuterRectResponse(Desktop& desktop, const ProcessTable& processes) {
  Rect rect;
  if (GetActiveBrowserOuterRect(desktop, processes, rect)) {
    return HostResponse::Result(rect.ToJson());
  }
  return HostResponse::Result(json(nullptr));
}

HostResponse DisplayListResponse(Desktop& desktop) {
  json list = json::array();
  for (const DisplayInfo& display : GetDisplayList(desktop)) {
    list.push_back(display.ToJson());
  }
  return HostResponse::Result(std::move(list));
}

}  // namespace

MorelXYHost::MorelXYHost(Desktop& desktop, std::string screenshotPath, FILE* in, FILE* out,
                         const ProcessTable& processes)
    : NativeMessagingHost(s_methodMap, in, out),
      m_desktop(desktop),
      m_processes(processes),
      m_screenshotPath(std::move(screenshotPath)) {}

HostResponse MorelXYHost::ProcessRequest(MorelXYMethod method, const json& params) {
  switch (method) {
    case MorelXYMethod::GetVersion:
      return HostResponse::Result(std::string(kMorelVersion));
    case MorelXYMethod::SendMouseEvent:
      return HostResponse::Result(
          SendMouseEvent(m_desktop, m_lastMouseEvent, ReadMouseEvent(params)));
    case MorelXYMethod::SendMouseWheelEvent:
      return HostResponse::Result(SendMouseWheelEvent(m_desktop, ReadMouseWheelEvent(params)));
    case MorelXYMethod::SendText:
      return HostResponse::Result(SendText(m_desktop, RequiredString(params, "text")));
    case MorelXYMethod::GetActiveBrowserOuterRect:
      return OuterRectResponse(m_desktop, m_processes);
    case MorelXYMethod::FindRectangle:
      return HandleFindRectangle(params);
    case MorelXYMethod::GetScreenBackingScaleFactor:
      return HostResponse::Result(GetScreenBackingScaleFactor(m_desktop, m_processes));
    case MorelXYMethod::GetDisplayList:
      return DisplayListResponse(m_desktop);
  }
  return HostResponse::Error("Unknown method");
}

HostResponse MorelXYHost::HandleFindRectangle(const json& params) {
  const std::string colorText = RequiredString(params, "color");
  const std::string displayId = GetOptionalParameter<std::string>(params, "displayId", "");
  // The displays are asked for once: the capture needs the chosen display's frame at full
  // precision, which its DisplayInfo no longer has.
  const std::vector<DesktopDisplay> displays = m_desktop.ListDisplays();
  const DesktopDisplay* display = detail::FindDisplay(displays, displayId);
  if (!display) return HostResponse::Error("Display cannot be found.");

  const Color color = ColorFromText(colorText);
  Rect rect;
  if (std::optional<WindowCapture> capture =
          CaptureActiveWindow(m_desktop, m_processes, *display)) {
    capture->bitmap.Save(m_screenshotPath);
    if (ExactRectFinder(capture->bitmap).Find(color, kFindRectangleTolerance, rect)) {
      // From the capture's top-left pixel to the frame's: the rectangle is reported from the
      // corner of the window's outer frame, even where the frame reaches past the display.
      rect.x = TruncateToInt32(rect.x + static_cast<double>(capture->offsetX));
      rect.y = TruncateToInt32(rect.y + static_cast<double>(capture->offsetY));
    } else {
      rect = Rect{};
    }
    // Pixels to points. A capture only succeeds with a positive finite scale; the saturating
    // truncation keeps even a degenerate factor from an undefined conversion.
    const double f = 1.0 / display->scale;
    rect.x = TruncateToInt32(rect.x * f);
    rect.y = TruncateToInt32(rect.y * f);
    rect.width = TruncateToInt32(rect.width * f);
    rect.height = TruncateToInt32(rect.height * f);
  }
  return HostResponse::Result(rect.ToJson());
}

namespace {

std::optional<DisplayInfo> FindDisplayInfo(Desktop& desktop, std::string_view id) {
  const std::vector<DesktopDisplay> displays = desktop.ListDisplays();
  const DesktopDisplay* display = detail::FindDisplay(displays, id);
  if (!display) return std::nullopt;
  return detail::ToDisplayInfo(*display, displays);
}

}  // namespace

std::optional<DisplayInfo> MorelXYHost::FindPrimaryDisplay() {
  return FindDisplayInfo(m_desktop, "");
}

std::optional<DisplayInfo> MorelXYHost::FindDisplayById(const std::string& id) {
  // No display has an empty id; the empty text names the primary display only to the handler.
  if (id.empty()) return std::nullopt;
  return FindDisplayInfo(m_desktop, id);
}

}  // namespace morel_xy
