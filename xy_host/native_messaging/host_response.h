#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>

namespace morel {

// The host's JSON value: objects keep their keys in ascending byte order, so every response
// is written with sorted keys ("error" before "id" before "result").
using json = nlohmann::json;

// The envelope of one response: {"result": value} or {"error": ["message", text]}.
class HostResponse {
 public:
  template <typename T>
  static HostResponse Result(T value) {
    static_assert(std::is_same_v<T, std::string> || std::is_same_v<T, bool> ||
                      std::is_same_v<T, double> || std::is_same_v<T, json>,
                  "a result is a string, a boolean, a number or a JSON value");
    HostResponse response;
    response.m_json["result"] = json(std::move(value));
    return response;
  }

  static HostResponse Error(const std::string& message);

  const json& Json() const& { return m_json; }
  json&& Json() && { return std::move(m_json); }

 private:
  HostResponse() = default;
  json m_json = json::object();
};

}  // namespace morel
