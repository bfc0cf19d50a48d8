#pragma once

#include <map>
#include <memory>

#include "desktop/wlroots/logic/wlroots_ports.h"
#include "desktop/wlroots/wayland/wayland_connection.h"

struct wl_output;
struct zxdg_output_v1;

namespace morel_xy::wlroots {

// The compositor's outputs, from wl_output (mode, scale, product, connector name) and
// xdg-output (logical position and size in the layout), followed as they come and go.
class WaylandOutputs final : public OutputSource {
 public:
  explicit WaylandOutputs(WaylandConnection& connection);
  ~WaylandOutputs() override;
  WaylandOutputs(const WaylandOutputs&) = delete;
  WaylandOutputs& operator=(const WaylandOutputs&) = delete;

  // After a round trip, so changes the compositor made are in.
  std::optional<std::vector<OutputInfo>> Outputs() override;

  // The wl_output of an output known now; nullptr when there is none with that id.
  wl_output* Handle(uint32_t id) const;
  // What is known of an output now, without a round trip.
  std::optional<OutputInfo> Known(uint32_t id) const;

  struct Output;

 private:
  void Add(WaylandConnection::OutputGlobal global);
  void Remove(uint32_t name);

  WaylandConnection& m_connection;
  std::map<uint32_t, std::unique_ptr<Output>> m_outputs;
};

}  // namespace morel_xy::wlroots
