#include "desktop/wlroots/sway/sway_tree.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>

#include "desktop/json_members.h"

namespace morel_xy::wlroots {
namespace {

using nlohmann::json;

PointRect RectMember(const json& node) {
  const auto found = node.find("rect");
  if (found == node.end() || !found->is_object()) return {};
  return PointRect{NumberMember(*found, "x"), NumberMember(*found, "y"),
                   NumberMember(*found, "width"), NumberMember(*found, "height")};
}

// An X window of a kind that is not an application's main or dialog window.
bool IsNormalXWindowType(const std::string& type) {
  return type.empty() || type == "normal" || type == "dialog" || type == "unknown";
}

std::optional<CompositorWindow> ViewOf(const json& node) {
  const auto pid = node.find("pid");
  if (pid == node.end() || !pid->is_number_integer()) return std::nullopt;
  const int64_t pidValue = pid->get<int64_t>();
  CompositorWindow view;
  view.pid = pidValue > 0 && pidValue <= std::numeric_limits<int32_t>::max()
                 ? static_cast<int32_t>(pidValue)
                 : 0;
  view.title = StringMember(node, "name");
  view.visible = BoolMember(node, "visible", false);
  view.rect = RectMember(node);
  const auto properties = node.find("window_properties");
  if (properties != node.end() && properties->is_object()) {
    const std::string klass = StringMember(*properties, "class");
    view.applicationId = klass.empty() ? StringMember(*properties, "instance") : klass;
    view.normal = IsNormalXWindowType(StringMember(*properties, "window_type"));
  } else {
    view.applicationId = StringMember(node, "app_id");
  }
  return view;
}

// The children of a container (tiled, then floating), in the container's focus order: the
// "focus" member lists child ids, most recently focused first.
std::vector<const json*> ChildrenByFocus(const json& node) {
  std::vector<const json*> children;
  for (const char* member : {"nodes", "floating_nodes"}) {
    const auto list = node.find(member);
    if (list == node.end() || !list->is_array()) continue;
    for (const json& child : *list) {
      if (child.is_object()) children.push_back(&child);
    }
  }
  std::vector<double> focus;
  if (const auto order = node.find("focus"); order != node.end() && order->is_array()) {
    for (const json& id : *order) {
      if (id.is_number()) focus.push_back(id.get<double>());
    }
  }
  const auto rank = [&focus](const json* child) {
    const auto id = child->find("id");
    if (id == child->end() || !id->is_number()) return focus.size();
    const auto at = std::find(focus.begin(), focus.end(), id->get<double>());
    return static_cast<size_t>(at - focus.begin());
  };
  std::stable_sort(children.begin(), children.end(),
                   [&rank](const json* a, const json* b) { return rank(a) < rank(b); });
  return children;
}

// Walks the tree depth first in focus order. A deep tree from a hostile IPC must not exhaust
// the stack: sway nests containers a few levels deep, so deeper ones are ignored.
void Collect(const json& node, int depth, std::vector<CompositorWindow>& views) {
  constexpr int kMaxDepth = 64;
  if (depth > kMaxDepth) return;
  if (std::optional<CompositorWindow> view = ViewOf(node)) {
    views.push_back(std::move(*view));
    return;
  }
  for (const json* child : ChildrenByFocus(node)) Collect(*child, depth + 1, views);
}

}  // namespace

std::optional<std::vector<CompositorWindow>> ParseSwayTree(std::string_view text) {
  // The library's own depth limit is the parser's recursion; no exceptions either way.
  const json tree = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!tree.is_object()) return std::nullopt;
  std::vector<CompositorWindow> views;
  Collect(tree, 0, views);
  return views;
}

}  // namespace morel_xy::wlroots
