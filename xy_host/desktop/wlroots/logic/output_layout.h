#pragma once

#include <optional>
#include <vector>

#include "desktop/desktop.h"
#include "desktop/wlroots/logic/wlroots_ports.h"

namespace morel_xy::wlroots {

// The compositor's outputs as one layout, and the conversions between its logical coordinates
// and the host's global points (the same unit, with the origin moved to the main output's
// top-left corner).
class OutputLayout {
 public:
  // Outputs without a logical size (not yet described, or disabled) are left out.
  explicit OutputLayout(std::vector<OutputInfo> outputs);

  bool empty() const { return m_outputs.empty(); }
  const std::vector<OutputInfo>& outputs() const { return m_outputs; }

  // The output at the layout's origin, else the top-most of the left-most ones; nullptr when
  // there is none.
  const OutputInfo* Main() const;
  const OutputInfo* Find(uint32_t id) const;
  // The output holding the global point, nullptr when none does.
  const OutputInfo* At(Point point) const;

  // Device pixels per point of an output: its mode against its logical size, so fractional
  // scales come out exactly (wl_output's own scale is rounded up).
  static double Scale(const OutputInfo& output);

  // The displays in output order; the main one is marked.
  std::vector<DesktopDisplay> Displays() const;

  // An absolute pointer motion to a global point: the point in the layout's bounding box
  // (clamped into it) and the box's size as the extent, in whole logical units.
  struct Motion {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t xExtent = 0;
    uint32_t yExtent = 0;

    bool operator==(const Motion&) const = default;
  };
  // nullopt when there is no output.
  std::optional<Motion> PointerMotion(Point point) const;

  // A layout rectangle (a window's, from the compositor) in global points.
  PointRect ToGlobal(const PointRect& layoutRect) const;

  // `area` (device pixels from the output's top-left corner) clipped to the output; nullopt
  // when nothing of it is on the output.
  static std::optional<PixelRect> ClipToOutput(const OutputInfo& output, const PixelRect& area);

 private:
  std::vector<OutputInfo> m_outputs;
};

}  // namespace morel_xy::wlroots
