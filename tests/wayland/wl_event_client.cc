// A small Wayland client for the wlroots desktop's tests: one window filled with a colour and
// a block of another, reporting on stdout, one line each, what its pointer and keyboard
// receive and what Ctrl+V pastes:
//   ready WIDTH HEIGHT        the window is drawn (surface size in logical units)
//   enter X Y | motion X Y    pointer position on the surface
//   button CODE down|up       Linux button code
//   discrete AXIS STEPS       wheel notches (0 vertical, 1 horizontal)
//   key CODE down|up MODS TEXT  TEXT: the UTF-8 of the key in the client's keymap, in hex
//                             ("-" for none); MODS: "c" Control, "s" Shift, "a" Alt ("-")
//   keymap                    a new keymap arrived
//   paste HEX                 the clipboard's text/plain;charset=utf-8 on Ctrl+V
// Usage: wl_event_client APP_ID [--color RRGGBB] [--block X,Y,W,H,RRGGBB]
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "xdg-shell-client-protocol.h"

namespace {

struct Block {
  int x = 0, y = 0, width = 0, height = 0;
  uint32_t color = 0;
};

struct Client {
  wl_display* display = nullptr;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  wl_seat* seat = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wl_data_device_manager* dataManager = nullptr;
  wl_data_device* dataDevice = nullptr;
  wl_data_offer* selection = nullptr;
  wl_surface* surface = nullptr;
  xdg_surface* xdgSurface = nullptr;
  xdg_toplevel* toplevel = nullptr;
  wl_pointer* pointer = nullptr;
  wl_keyboard* keyboard = nullptr;
  xkb_context* xkb = nullptr;
  xkb_keymap* keymap = nullptr;
  xkb_state* state = nullptr;
  int width = 0, height = 0;
  int pendingWidth = 0, pendingHeight = 0;
  bool drawn = false;
  uint32_t color = 0xffffff;
  Block block;
};

void Line(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Hex(const char* bytes, size_t size) {
  if (size == 0) return "-";
  std::string out;
  char two[3];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(bytes[i]));
    out += two;
  }
  return out;
}

void Draw(Client& c) {
  const int width = c.width, height = c.height, stride = width * 4;
  const size_t size = static_cast<size_t>(stride) * height;
  const int fd = memfd_create("wl-event-client", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) std::exit(3);
  auto* pixels =
      static_cast<uint32_t*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool inBlock = x >= c.block.x && x < c.block.x + c.block.width && y >= c.block.y &&
                           y < c.block.y + c.block.height;
      pixels[y * width + x] = 0xff000000u | (inBlock ? c.block.color : c.color);
    }
  }
  munmap(pixels, size);
  wl_shm_pool* pool = wl_shm_create_pool(c.shm, fd, static_cast<int32_t>(size));
  wl_buffer* buffer =
      wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  wl_surface_attach(c.surface, buffer, 0, 0);
  wl_surface_damage(c.surface, 0, 0, width, height);
  wl_surface_commit(c.surface);
}

void Paste(Client& c) {
  if (!c.selection) {
    Line("paste -");
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) return;
  wl_data_offer_receive(c.selection, "text/plain;charset=utf-8", fds[1]);
  close(fds[1]);
  wl_display_flush(c.display);
  std::string text;
  char chunk[4096];
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 3000) > 0) {
    const ssize_t n = read(fds[0], chunk, sizeof chunk);
    if (n <= 0) break;
    text.append(chunk, static_cast<size_t>(n));
  }
  close(fds[0]);
  Line("paste " + Hex(text.data(), text.size()));
}

// The listener structs grow with libwayland (Debian 13's wl_pointer_listener has a member
// Debian 12's lacks): a member left out here belongs to an event of a version newer than the
// one this client binds, and is never called.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

const wl_pointer_listener kPointerListener = {
    .enter =
        [](void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
          Line("enter " + std::to_string(wl_fixed_to_double(x)) + " " +
               std::to_string(wl_fixed_to_double(y)));
        },
    .leave = [](void*, wl_pointer*, uint32_t, wl_surface*) { Line("leave"); },
    .motion =
        [](void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
          Line("motion " + std::to_string(wl_fixed_to_double(x)) + " " +
               std::to_string(wl_fixed_to_double(y)));
        },
    .button =
        [](void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
          Line("button " + std::to_string(button) + (state ? " down" : " up"));
        },
    .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
    .axis_discrete =
        [](void*, wl_pointer*, uint32_t axis, int32_t discrete) {
          Line("discrete " + std::to_string(axis) + " " + std::to_string(discrete));
        },
    .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
};

const wl_keyboard_listener kKeyboardListener = {
    .keymap =
        [](void* data, wl_keyboard*, uint32_t, int32_t fd, uint32_t size) {
          auto* c = static_cast<Client*>(data);
          void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
          close(fd);
          if (text == MAP_FAILED) return;
          xkb_keymap* keymap =
              xkb_keymap_new_from_string(c->xkb, static_cast<const char*>(text),
                                         XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
          munmap(text, size);
          if (!keymap) {
            Line("keymap refused");
            return;
          }
          if (c->state) xkb_state_unref(c->state);
          if (c->keymap) xkb_keymap_unref(c->keymap);
          c->keymap = keymap;
          c->state = xkb_state_new(keymap);
          Line("keymap");
        },
    .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) { Line("kbenter"); },
    .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) { Line("kbleave"); },
    .key =
        [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
          auto* c = static_cast<Client*>(data);
          if (!c->state) return;
          char text[32] = {};
          const int length = xkb_state_key_get_utf8(c->state, key + 8, text, sizeof text);
          std::string mods;
          if (xkb_state_mod_name_is_active(c->state, XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) >
              0)
            mods += "c";
          if (xkb_state_mod_name_is_active(c->state, XKB_MOD_NAME_SHIFT, XKB_STATE_MODS_EFFECTIVE) >
              0)
            mods += "s";
          if (xkb_state_mod_name_is_active(c->state, XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE) >
              0)
            mods += "a";
          if (mods.empty()) mods = "-";
          Line("key " + std::to_string(key) + (state ? " down " : " up ") + mods + " " +
               Hex(text, length > 0 ? static_cast<size_t>(length) : 0));
          const xkb_keysym_t sym = xkb_state_key_get_one_sym(c->state, key + 8);
          if (state && mods.find('c') != std::string::npos &&
              (sym == XKB_KEY_v || sym == XKB_KEY_V))
            Paste(*c);
        },
    .modifiers =
        [](void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
           uint32_t locked, uint32_t group) {
          auto* c = static_cast<Client*>(data);
          if (c->state) xkb_state_update_mask(c->state, depressed, latched, locked, 0, 0, group);
        },
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
};

const wl_seat_listener kSeatListener = {
    .capabilities =
        [](void* data, wl_seat* seat, uint32_t caps) {
          auto* c = static_cast<Client*>(data);
          if ((caps & WL_SEAT_CAPABILITY_POINTER) && !c->pointer) {
            c->pointer = wl_seat_get_pointer(seat);
            wl_pointer_add_listener(c->pointer, &kPointerListener, c);
          }
          if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !c->keyboard) {
            c->keyboard = wl_seat_get_keyboard(seat);
            wl_keyboard_add_listener(c->keyboard, &kKeyboardListener, c);
          }
        },
    .name = [](void*, wl_seat*, const char*) {},
};

const wl_data_offer_listener kOfferListener = {
    .offer = [](void*, wl_data_offer*, const char*) {},
    .source_actions = [](void*, wl_data_offer*, uint32_t) {},
    .action = [](void*, wl_data_offer*, uint32_t) {},
};

const wl_data_device_listener kDataDeviceListener = {
    .data_offer =
        [](void*, wl_data_device*, wl_data_offer* offer) {
          wl_data_offer_add_listener(offer, &kOfferListener, nullptr);
        },
    .enter = [](void*, wl_data_device*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t,
                wl_data_offer*) {},
    .leave = [](void*, wl_data_device*) {},
    .motion = [](void*, wl_data_device*, uint32_t, wl_fixed_t, wl_fixed_t) {},
    .drop = [](void*, wl_data_device*) {},
    .selection =
        [](void* data, wl_data_device*, wl_data_offer* offer) {
          auto* c = static_cast<Client*>(data);
          if (c->selection && c->selection != offer) wl_data_offer_destroy(c->selection);
          c->selection = offer;
        },
};

const xdg_wm_base_listener kWmBaseListener = {
    .ping = [](void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

const xdg_surface_listener kXdgSurfaceListener = {
    .configure =
        [](void* data, xdg_surface* surface, uint32_t serial) {
          auto* c = static_cast<Client*>(data);
          xdg_surface_ack_configure(surface, serial);
          const int width = c->pendingWidth > 0 ? c->pendingWidth : 640;
          const int height = c->pendingHeight > 0 ? c->pendingHeight : 480;
          if (c->drawn && width == c->width && height == c->height) {
            wl_surface_commit(c->surface);
            return;
          }
          c->width = width;
          c->height = height;
          Draw(*c);
          c->drawn = true;
          Line("ready " + std::to_string(width) + " " + std::to_string(height));
        },
};

const xdg_toplevel_listener kToplevelListener = {
    .configure =
        [](void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
          auto* c = static_cast<Client*>(data);
          c->pendingWidth = width;
          c->pendingHeight = height;
        },
    .close = [](void*, xdg_toplevel*) { std::exit(0); },
    .configure_bounds = [](void*, xdg_toplevel*, int32_t, int32_t) {},
    .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
};

const wl_registry_listener kRegistryListener = {
    .global =
        [](void* data, wl_registry* registry, uint32_t name, const char* interface,
           uint32_t version) {
          auto* c = static_cast<Client*>(data);
          const std::string is(interface);
          if (is == wl_compositor_interface.name) {
            c->compositor = static_cast<wl_compositor*>(
                wl_registry_bind(registry, name, &wl_compositor_interface, 4));
          } else if (is == wl_shm_interface.name) {
            c->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
          } else if (is == wl_seat_interface.name && !c->seat) {
            c->seat = static_cast<wl_seat*>(
                wl_registry_bind(registry, name, &wl_seat_interface, version < 5 ? version : 5));
            wl_seat_add_listener(c->seat, &kSeatListener, c);
          } else if (is == xdg_wm_base_interface.name) {
            c->wmBase = static_cast<xdg_wm_base*>(
                wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
            xdg_wm_base_add_listener(c->wmBase, &kWmBaseListener, c);
          } else if (is == wl_data_device_manager_interface.name) {
            c->dataManager = static_cast<wl_data_device_manager*>(
                wl_registry_bind(registry, name, &wl_data_device_manager_interface, 3));
          }
        },
    .global_remove = [](void*, wl_registry*, uint32_t) {},
};

uint32_t ParseColor(const char* text) {
  return static_cast<uint32_t>(std::strtoul(text, nullptr, 16)) & 0xffffff;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: wl_event_client APP_ID [--color RRGGBB] [--block X,Y,W,H,RRGGBB]\n");
    return 2;
  }
  Client c;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--color") {
      c.color = ParseColor(argv[i + 1]);
    } else if (option == "--block") {
      char color[16] = {};
      if (std::sscanf(argv[i + 1], "%d,%d,%d,%d,%15s", &c.block.x, &c.block.y, &c.block.width,
                      &c.block.height, color) != 5) {
        return 2;
      }
      c.block.color = ParseColor(color);
    }
  }
  c.display = wl_display_connect(nullptr);
  if (!c.display) return 3;
  c.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  wl_registry* registry = wl_display_get_registry(c.display);
  wl_registry_add_listener(registry, &kRegistryListener, &c);
  wl_display_roundtrip(c.display);
  if (!c.compositor || !c.shm || !c.wmBase || !c.seat) return 4;
  if (c.dataManager) {
    c.dataDevice = wl_data_device_manager_get_data_device(c.dataManager, c.seat);
    wl_data_device_add_listener(c.dataDevice, &kDataDeviceListener, &c);
  }
  c.surface = wl_compositor_create_surface(c.compositor);
  c.xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
  xdg_surface_add_listener(c.xdgSurface, &kXdgSurfaceListener, &c);
  c.toplevel = xdg_surface_get_toplevel(c.xdgSurface);
  xdg_toplevel_add_listener(c.toplevel, &kToplevelListener, &c);
  xdg_toplevel_set_app_id(c.toplevel, argv[1]);
  xdg_toplevel_set_title(c.toplevel, argv[1]);
  wl_surface_commit(c.surface);
  while (wl_display_dispatch(c.display) >= 0) {
  }
  return 0;
}
