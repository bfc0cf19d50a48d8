#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace morel_xy::x11 {

// The monitor's product name from its EDID (the display descriptor tagged 0xFC), trimmed;
// empty when the data is not an EDID or holds no name.
std::string EdidProductName(const std::vector<uint8_t>& edid);

}  // namespace morel_xy::x11
