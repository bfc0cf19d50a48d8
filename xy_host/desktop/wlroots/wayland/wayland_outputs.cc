#include "desktop/wlroots/wayland/wayland_outputs.h"

#include <wayland-client.h>

#include <algorithm>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace morel_xy::wlroots {

struct WaylandOutputs::Output {
  wl_output* output = nullptr;
  zxdg_output_v1* xdg = nullptr;
  OutputInfo info;
  int32_t modeWidth = 0;
  int32_t modeHeight = 0;
  int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
  int32_t geometryX = 0;
  int32_t geometryY = 0;
  bool hasLogical = false;

  // Rotated by a quarter turn either way, the mode's sides swap in the layout.
  void UpdatePixels() {
    const bool quarter = transform % 2 == 1;
    info.pixelWidth = quarter ? modeHeight : modeWidth;
    info.pixelHeight = quarter ? modeWidth : modeHeight;
    if (!hasLogical) {
      // Without xdg-output: the compositor's position, and the mode divided by the scale.
      const int32_t scale = std::max(info.integerScale, 1);
      info.x = geometryX;
      info.y = geometryY;
      info.width = info.pixelWidth / scale;
      info.height = info.pixelHeight / scale;
    }
  }
};

namespace {

using Output = WaylandOutputs::Output;

const wl_output_listener kOutputListener = {
    .geometry =
        [](void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
           const char* model, int32_t transform) {
          auto* o = static_cast<Output*>(data);
          o->geometryX = x;
          o->geometryY = y;
          o->info.model = model ? model : "";
          o->transform = transform;
          o->UpdatePixels();
        },
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
          if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
          auto* o = static_cast<Output*>(data);
          o->modeWidth = width;
          o->modeHeight = height;
          o->UpdatePixels();
        },
    .done = [](void*, wl_output*) {},
    .scale =
        [](void* data, wl_output*, int32_t factor) {
          auto* o = static_cast<Output*>(data);
          o->info.integerScale = factor;
          o->UpdatePixels();
        },
    .name = [](void* data, wl_output*,
               const char* name) { static_cast<Output*>(data)->info.connector = name ? name : ""; },
    .description = [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener kXdgOutputListener = {
    .logical_position =
        [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
          auto* o = static_cast<Output*>(data);
          o->hasLogical = true;
          o->info.x = x;
          o->info.y = y;
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
          auto* o = static_cast<Output*>(data);
          o->hasLogical = true;
          o->info.width = width;
          o->info.height = height;
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name =
        [](void* data, zxdg_output_v1*, const char* name) {
          auto* o = static_cast<Output*>(data);
          if (o->info.connector.empty() && name) o->info.connector = name;
        },
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

}  // namespace

WaylandOutputs::WaylandOutputs(WaylandConnection& connection) : m_connection(connection) {
  m_connection.WatchOutputs([this](WaylandConnection::OutputGlobal global, bool added) {
    if (added) {
      Add(global);
    } else {
      Remove(global.name);
    }
  });
  // The outputs' first descriptions.
  m_connection.Roundtrip();
}

WaylandOutputs::~WaylandOutputs() {
  m_connection.WatchOutputs(nullptr);
  for (const auto& [name, output] : m_outputs) {
    if (output->xdg) zxdg_output_v1_destroy(output->xdg);
    if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(output->output)) >=
        WL_OUTPUT_RELEASE_SINCE_VERSION) {
      wl_output_release(output->output);
    } else {
      wl_output_destroy(output->output);
    }
  }
}

void WaylandOutputs::Add(WaylandConnection::OutputGlobal global) {
  auto output = std::make_unique<Output>();
  output->info.id = global.name;
  output->output = static_cast<wl_output*>(wl_registry_bind(
      m_connection.registry(), global.name, &wl_output_interface, std::min(global.version, 4u)));
  wl_output_add_listener(output->output, &kOutputListener, output.get());
  if (zxdg_output_manager_v1* manager = m_connection.globals().xdgOutputManager) {
    output->xdg = zxdg_output_manager_v1_get_xdg_output(manager, output->output);
    zxdg_output_v1_add_listener(output->xdg, &kXdgOutputListener, output.get());
  }
  m_outputs[global.name] = std::move(output);
}

void WaylandOutputs::Remove(uint32_t name) {
  const auto found = m_outputs.find(name);
  if (found == m_outputs.end()) return;
  if (found->second->xdg) zxdg_output_v1_destroy(found->second->xdg);
  wl_output_destroy(found->second->output);
  m_outputs.erase(found);
}

std::optional<std::vector<OutputInfo>> WaylandOutputs::Outputs() {
  if (!m_connection.Roundtrip()) return std::nullopt;
  std::vector<OutputInfo> infos;
  for (const auto& [name, output] : m_outputs) infos.push_back(output->info);
  return infos;
}

wl_output* WaylandOutputs::Handle(uint32_t id) const {
  const auto found = m_outputs.find(id);
  return found == m_outputs.end() ? nullptr : found->second->output;
}

std::optional<OutputInfo> WaylandOutputs::Known(uint32_t id) const {
  const auto found = m_outputs.find(id);
  if (found == m_outputs.end()) return std::nullopt;
  return found->second->info;
}

}  // namespace morel_xy::wlroots
