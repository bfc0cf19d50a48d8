#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace morel_xy {

// Members of JSON that another process wrote (a compositor's IPC, a script's answer), each read
// with its type checked: a member of another type counts as absent.

// The string member `name` of `node`, or "".
inline std::string StringMember(const nlohmann::json& node, const char* name) {
  const auto found = node.find(name);
  return found != node.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// The number member `name` of `node`, or 0.
inline double NumberMember(const nlohmann::json& node, const char* name) {
  const auto found = node.find(name);
  return found != node.end() && found->is_number() ? found->get<double>() : 0.0;
}

// The boolean member `name` of `node`, or `fallback`.
inline bool BoolMember(const nlohmann::json& node, const char* name, bool fallback = false) {
  const auto found = node.find(name);
  return found != node.end() && found->is_boolean() ? found->get<bool>() : fallback;
}

}  // namespace morel_xy
