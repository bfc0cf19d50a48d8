#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/x11/x11_connection.h"

namespace morel_xy {

// The integer setting `name` of an XSETTINGS blob (the _XSETTINGS_SETTINGS property: byte
// order, serial, then typed, named entries). nullopt when the blob holds no such integer or
// is malformed; a malformed blob is never read past its end.
std::optional<int32_t> FindXSettingsInteger(const std::string& blob, const std::string& name);

// The XSETTINGS integer `name` of the settings manager of the connection's screen, nullopt
// when no manager runs or it does not publish that setting. X errors are trapped by the caller's
// handler.
std::optional<int32_t> ReadXSettingsInteger(const X11Connection& x, const std::string& name);

}  // namespace morel_xy
