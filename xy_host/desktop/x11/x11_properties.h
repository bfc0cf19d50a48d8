#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "desktop/x11/x11_connection.h"

namespace morel_xy::x11 {

// Reading window properties. Each read is one round trip; a window that vanished, or a
// property that is absent or of another type, gives nullopt. Errors are trapped by the
// caller's X11ErrorTrap (BadWindow arrives before the reply, so it is already counted).

// A 32-bit-format property of `type` (XA_CARDINAL, XA_WINDOW, XA_ATOM, ...) as its values.
std::optional<std::vector<unsigned long>> GetLongs(const X11Connection& x, Window window,
                                                   Atom property, Atom type);

// The raw bytes of an 8-bit-format property and its type.
std::optional<std::pair<Atom, std::string>> GetBytes(const X11Connection& x, Window window,
                                                     Atom property);

// The window's title in UTF-8: _NET_WM_NAME, else WM_NAME (Latin-1 or compound text
// converted). nullopt when neither is set; "" when the title is not valid text.
std::optional<std::string> GetTitle(const X11Connection& x, Window window);

// WM_CLASS as (instance, class); nullopt when unset.
std::optional<std::pair<std::string, std::string>> GetWmClass(const X11Connection& x,
                                                              Window window);

}  // namespace morel_xy::x11
