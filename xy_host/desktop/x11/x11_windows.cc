#include "desktop/x11/x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

#include "desktop/x11/x11_properties.h"

namespace morel_xy::x11 {
namespace {

// A window manager that still runs: the root's _NET_SUPPORTING_WM_CHECK window names itself.
bool HasLiveWindowManager(const X11Connection& x) {
  const Atom check = x.InternAtom("_NET_SUPPORTING_WM_CHECK");
  const auto fromRoot = GetLongs(x, x.root(), check, XA_WINDOW);
  if (!fromRoot || fromRoot->empty()) return false;
  X11ErrorTrap trap(x);
  const auto fromChild = GetLongs(x, (*fromRoot)[0], check, XA_WINDOW);
  return trap.Finish() && fromChild && !fromChild->empty() && (*fromChild)[0] == (*fromRoot)[0];
}

bool IsHidden(const X11Connection& x, Window client) {
  if (auto state = GetLongs(x, client, x.InternAtom("_NET_WM_STATE"), XA_ATOM)) {
    const Atom hidden = x.InternAtom("_NET_WM_STATE_HIDDEN");
    if (std::find(state->begin(), state->end(), hidden) != state->end()) return true;
  }
  const Atom wmState = x.InternAtom("WM_STATE");
  if (auto icccm = GetLongs(x, client, wmState, wmState); icccm && !icccm->empty()) {
    return (*icccm)[0] == IconicState;
  }
  return false;
}

bool HasWmState(const X11Connection& x, Window window) {
  const Atom wmState = x.InternAtom("WM_STATE");
  return GetLongs(x, window, wmState, wmState).has_value();
}

// The client inside a frame: the window itself or the nearest descendant with WM_STATE.
Window FindClient(const X11Connection& x, Window frame, int depth = 0) {
  if (HasWmState(x, frame)) return frame;
  if (depth >= 3) return None;
  Window root = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(x.display(), frame, &root, &parent, &children, &count)) return None;
  Window found = None;
  for (unsigned int i = count; i-- > 0 && found == None;)
    found = FindClient(x, children[i], depth + 1);
  if (children) XFree(children);
  return found;
}

std::optional<X11TopLevel> ReadManagedClient(const X11Connection& x, Window client) {
  X11ErrorTrap trap(x);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(x.display(), client, &attributes)) return std::nullopt;
  X11TopLevel top;
  top.client = client;
  top.viewable = attributes.map_state == IsViewable;
  top.overrideRedirect = attributes.override_redirect;
  top.hidden = IsHidden(x, client);
  int rootX = 0, rootY = 0;
  Window child = None;
  if (!XTranslateCoordinates(x.display(), client, x.root(), 0, 0, &rootX, &rootY, &child)) {
    return std::nullopt;
  }
  unsigned long left = 0, right = 0, topExtent = 0, bottom = 0;
  if (auto extents = GetLongs(x, client, x.InternAtom("_NET_FRAME_EXTENTS"), XA_CARDINAL);
      extents && extents->size() >= 4) {
    left = (*extents)[0];
    right = (*extents)[1];
    topExtent = (*extents)[2];
    bottom = (*extents)[3];
  }
  const int64_t border = attributes.border_width;
  top.outer = RootRect{rootX - border - static_cast<int64_t>(left),
                       rootY - border - static_cast<int64_t>(topExtent),
                       attributes.width + 2 * border + static_cast<int64_t>(left + right),
                       attributes.height + 2 * border + static_cast<int64_t>(topExtent + bottom)};
  if (!trap.Finish()) return std::nullopt;
  return top;
}

std::optional<X11TopLevel> ReadRootChild(const X11Connection& x, Window child) {
  X11ErrorTrap trap(x);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(x.display(), child, &attributes)) return std::nullopt;
  if (attributes.c_class == InputOnly) return std::nullopt;
  X11TopLevel top;
  top.client = FindClient(x, child);
  if (top.client == None) top.client = child;
  top.viewable = attributes.map_state == IsViewable;
  top.overrideRedirect = attributes.override_redirect;
  top.hidden = IsHidden(x, top.client);
  const int64_t border = attributes.border_width;
  top.outer = RootRect{attributes.x, attributes.y, attributes.width + 2 * border,
                       attributes.height + 2 * border};
  if (!trap.Finish()) return std::nullopt;
  return top;
}

// The EWMH stacking list, bottom to top, when a live window manager keeps one.
std::optional<std::vector<unsigned long>> StackingList(const X11Connection& x, bool& failed) {
  X11ErrorTrap trap(x);
  std::optional<std::vector<unsigned long>> stacking;
  if (HasLiveWindowManager(x)) {
    stacking = GetLongs(x, x.root(), x.InternAtom("_NET_CLIENT_LIST_STACKING"), XA_WINDOW);
  }
  failed = !trap.Finish();
  return stacking;
}

// The root's children, bottom to top.
std::optional<std::vector<Window>> RootChildren(const X11Connection& x) {
  Window root = None, parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  X11ErrorTrap trap(x);
  const Status listed = XQueryTree(x.display(), x.root(), &root, &parent, &children, &count);
  std::optional<std::vector<Window>> result;
  if (listed && trap.Finish()) result.emplace(children, children + count);
  if (children) XFree(children);
  return result;
}

}  // namespace

std::optional<std::vector<X11TopLevel>> ListTopLevels(const X11Connection& x) {
  if (!x.alive()) return std::nullopt;
  bool failed = false;
  const std::optional<std::vector<unsigned long>> stacking = StackingList(x, failed);
  if (failed) return std::nullopt;
  std::vector<X11TopLevel> tops;
  if (stacking) {
    for (auto it = stacking->rbegin(); it != stacking->rend(); ++it) {
      if (auto top = ReadManagedClient(x, static_cast<Window>(*it))) tops.push_back(*top);
    }
  } else {
    const std::optional<std::vector<Window>> children = RootChildren(x);
    if (!children) return std::nullopt;
    for (auto it = children->rbegin(); it != children->rend(); ++it) {
      if (auto top = ReadRootChild(x, *it)) tops.push_back(*top);
    }
  }
  if (!x.alive()) return std::nullopt;
  return tops;
}

std::optional<std::vector<Window>> ListClients(const X11Connection& x) {
  if (!x.alive()) return std::nullopt;
  bool failed = false;
  const std::optional<std::vector<unsigned long>> stacking = StackingList(x, failed);
  if (failed) return std::nullopt;
  std::vector<Window> clients;
  if (stacking) {
    for (auto it = stacking->rbegin(); it != stacking->rend(); ++it) clients.push_back(*it);
  } else {
    const std::optional<std::vector<Window>> children = RootChildren(x);
    if (!children) return std::nullopt;
    for (auto it = children->rbegin(); it != children->rend(); ++it) {
      X11ErrorTrap trap(x);
      Window client = FindClient(x, *it);
      if (!trap.Finish()) continue;
      clients.push_back(client == None ? *it : client);
    }
  }
  if (!x.alive()) return std::nullopt;
  return clients;
}

}  // namespace morel_xy::x11
