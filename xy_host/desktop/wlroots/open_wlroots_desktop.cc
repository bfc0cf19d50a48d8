#include "desktop/wlroots/open_wlroots_desktop.h"

#include "desktop/sleep_for.h"
#include "desktop/wlroots/logic/wlroots_desktop.h"
#include "desktop/wlroots/sway/sway_ipc.h"
#include "desktop/wlroots/wayland/data_control_clipboard.h"
#include "desktop/wlroots/wayland/screencopy.h"
#include "desktop/wlroots/wayland/virtual_keyboard.h"
#include "desktop/wlroots/wayland/virtual_pointer.h"
#include "desktop/wlroots/wayland/wayland_connection.h"
#include "desktop/wlroots/wayland/wayland_outputs.h"

namespace morel_xy::wlroots {
namespace {

// The objects behind one desktop, destroyed in the reverse order of their declaration: the
// devices before the connection they live on.
struct WaylandObjects {
  std::unique_ptr<WaylandConnection> connection;
  std::unique_ptr<WaylandOutputs> outputs;
  std::unique_ptr<VirtualPointer> pointer;
  std::unique_ptr<VirtualKeyboard> keyboard;
  std::unique_ptr<Screencopy> screencopy;
  std::unique_ptr<DataControlClipboard> clipboard;
  std::unique_ptr<SwayIpc> ipc;
};

OpenedDesktop Open(const Environment& environment, std::string* why) {
  auto objects = std::make_shared<WaylandObjects>();
  objects->connection = WaylandConnection::Open(why);
  if (!objects->connection) return {};
  WaylandConnection& connection = *objects->connection;
  const WaylandConnection::Globals& globals = connection.globals();
  if (!globals.pointerManager || !globals.keyboardManager || !globals.seat) {
    if (why) {
      *why =
          "the Wayland compositor offers no virtual pointer and keyboard "
          "(zwlr_virtual_pointer_manager_v1, zwp_virtual_keyboard_manager_v1)";
    }
    return {};
  }
  objects->outputs = std::make_unique<WaylandOutputs>(connection);
  objects->pointer = VirtualPointer::Create(connection);
  objects->keyboard = VirtualKeyboard::Create(connection);
  objects->screencopy = Screencopy::Create(connection, *objects->outputs);
  // The clipboard only serves characters beyond U+FFFF: without it the rest still works.
  objects->clipboard = DataControlClipboard::Create(nullptr);
  if (std::optional<std::string> socket = SwayIpc::FindSocket()) {
    objects->ipc = std::make_unique<SwayIpc>(*socket);
  }

  WlrootsParts parts;
  parts.pointer = objects->pointer.get();
  parts.keyboard = objects->keyboard.get();
  parts.clipboard = objects->clipboard.get();
  parts.outputs = objects->outputs.get();
  parts.capturer = objects->screencopy.get();
  parts.windows = objects->ipc.get();
  parts.sleep = [](std::chrono::nanoseconds duration) { SleepFor(duration); };
  parts.sync = [&connection] { return connection.Roundtrip(std::chrono::milliseconds(500)); };
  parts.owner = objects;
  auto desktop = std::make_unique<WlrootsDesktop>(std::move(parts));
  WlrootsDesktop& opened = *desktop;
  const char* display = environment("WAYLAND_DISPLAY");
  return OpenedDesktop{
      std::move(desktop),
      std::string("the wlroots compositor of WAYLAND_DISPLAY=") + (display ? display : ""),
      [&opened](Capability capability) { return opened.Missing(capability); }};
}

std::string Absent(const Environment& environment) {
  const char* display = environment("WAYLAND_DISPLAY");
  return display && *display ? "" : "WAYLAND_DISPLAY is not set";
}

}  // namespace

const Backend WLROOTS_BACKEND = {"wlroots", Absent, Open, nullptr};

}  // namespace morel_xy::wlroots
