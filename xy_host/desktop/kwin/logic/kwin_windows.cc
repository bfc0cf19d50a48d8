#include "desktop/kwin/logic/kwin_windows.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <string>

#include "desktop/json_members.h"

namespace morel_xy::kwin {
namespace {

using nlohmann::json;

int32_t PidMember(const json& node) {
  const auto found = node.find("pid");
  if (found == node.end() || !found->is_number_integer()) return 0;
  const int64_t pid = found->get<int64_t>();
  return pid > 0 && pid <= std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(pid) : 0;
}

}  // namespace

std::optional<std::vector<TopLevelWindow>> ParseKWinWindows(std::string_view text) {
  const json answer = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!answer.is_object()) return std::nullopt;
  const auto list = answer.find("windows");
  if (list == answer.end() || !list->is_array()) return std::nullopt;
  std::vector<TopLevelWindow> windows;
  for (const json& node : *list) {
    if (!node.is_object()) continue;
    if (BoolMember(node, "minimized") || BoolMember(node, "desktop") || BoolMember(node, "dock") ||
        BoolMember(node, "splash")) {
      continue;
    }
    const auto current = node.find("onCurrentDesktop");
    if (current != node.end() && current->is_boolean() && !current->get<bool>()) continue;
    const double width = NumberMember(node, "width");
    const double height = NumberMember(node, "height");
    if (width <= 0 || height <= 0) continue;  // not mapped
    TopLevelWindow window;
    window.pid = PidMember(node);
    window.applicationId = StringMember(node, "desktopFileName");
    if (window.applicationId.empty()) window.applicationId = StringMember(node, "resourceClass");
    window.title = StringMember(node, "caption");
    window.normal = BoolMember(node, "normal") || BoolMember(node, "dialog");
    window.frame = {NumberMember(node, "x"), NumberMember(node, "y"), width, height};
    windows.push_back(std::move(window));
  }
  return windows;
}

}  // namespace morel_xy::kwin
