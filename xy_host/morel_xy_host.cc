#include "morel_xy_host.h"

#include "exact_rect_finder.h"
#include "impl/displays.h"
#include "impl/windows.h"
#include "parameters.h"
#include "text_input.h"
#include "truncation.h"

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

constexpr char kVersion[] = "1.0.31";
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

HostResponse OuterRectResponse(Desktop& desktop) {
  Rect rect;
  if (impl::GetActiveBrowserOuterRect(desktop, rect)) return HostResponse::Result(rect.ToJson());
  return HostResponse::Result(json(nullptr));
}

HostResponse DisplayListResponse(Desktop& desktop) {
  json list = json::array();
  for (const DisplayInfo& display : impl::GetDisplayList(desktop)) {
    list.push_back(display.ToJson());
  }
  return HostResponse::Result(std::move(list));
}

}  // namespace

MorelXYHost::MorelXYHost(Desktop& desktop, std::string screenshotPath, FILE* in, FILE* out)
    : NativeMessagingHost(s_methodMap, in, out),
      m_desktop(desktop),
      m_screenshotPath(std::move(screenshotPath)) {}

HostResponse MorelXYHost::ProcessRequest(MorelXYMethod method, const json& params) {
  switch (method) {
    case MorelXYMethod::GetVersion:
      return HostResponse::Result(std::string(kVersion));
    case MorelXYMethod::SendMouseEvent:
      return HostResponse::Result(
          SendMouseEvent(m_desktop, m_lastMouseEvent, ReadMouseEvent(params)));
    case MorelXYMethod::SendMouseWheelEvent:
      return HostResponse::Result(SendMouseWheelEvent(m_desktop, ReadMouseWheelEvent(params)));
    case MorelXYMethod::SendText:
      return HostResponse::Result(SendText(m_desktop, RequiredString(params, "text")));
    case MorelXYMethod::GetActiveBrowserOuterRect:
      return OuterRectResponse(m_desktop);
    case MorelXYMethod::FindRectangle:
      return HandleFindRectangle(params);
    case MorelXYMethod::GetScreenBackingScaleFactor:
      return HostResponse::Result(impl::GetScreenBackingScaleFactor(m_desktop));
    case MorelXYMethod::GetDisplayList:
      return DisplayListResponse(m_desktop);
  }
  return HostResponse::Error("Unknown method");
}

HostResponse MorelXYHost::HandleFindRectangle(const json& params) {
  const std::string colorText = RequiredString(params, "color");
  const std::string displayId = GetOptionalParameter<std::string>(params, "displayId", "");
  const std::optional<DisplayInfo> display =
      displayId.empty() ? FindPrimaryDisplay() : FindDisplayById(displayId);
  if (!display) return HostResponse::Error("Display cannot be found.");

  const Color color = ColorFromText(colorText);
  Bitmap bitmap;
  Rect rect;
  if (impl::CaptureActiveWindow(m_desktop, *display, bitmap)) {
    bitmap.Save(m_screenshotPath);
    if (!ExactRectFinder(bitmap).Find(color, kFindRectangleTolerance, rect)) rect = Rect{};
    // Pixels to points. A capture only succeeds with a positive finite scale; the saturating
    // truncation keeps even a degenerate factor from an undefined conversion.
    const double f = 1.0 / display->backingScaleFactor;
    rect.x = TruncateToInt32(rect.x * f);
    rect.y = TruncateToInt32(rect.y * f);
    rect.width = TruncateToInt32(rect.width * f);
    rect.height = TruncateToInt32(rect.height * f);
  }
  return HostResponse::Result(rect.ToJson());
}

std::optional<DisplayInfo> MorelXYHost::FindPrimaryDisplay() {
  for (DisplayInfo& display : impl::GetDisplayList(m_desktop)) {
    if (display.isPrimary) return std::move(display);
  }
  return std::nullopt;
}

std::optional<DisplayInfo> MorelXYHost::FindDisplayById(const std::string& id) {
  for (DisplayInfo& display : impl::GetDisplayList(m_desktop)) {
    if (display.id == id) return std::move(display);
  }
  return std::nullopt;
}

}  // namespace morel_xy
