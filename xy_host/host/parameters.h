#pragma once

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "native_messaging/host_response.h"

namespace morel_xy {

using morel::json;

// A required parameter, by key without inserting. A `params` that is not an object (absent
// "params" included, which arrives as null) throws the JSON library's type error 305 in the
// words the extension has always been answered with, "cannot use operator[] with null" (or
// "array", "string", ... by the type); newer versions of the library word their own error
// differently. An object without the key throws the library's out_of_range error naming the
// key. Both become "Exception: " responses.
inline const json& RequiredParameter(const json& params, std::string_view key) {
  if (!params.is_object()) {
    throw json::type_error::create(
        305, std::string("cannot use operator[] with ") + params.type_name(), &params);
  }
  return params.at(key);
}

// A required numeric parameter: integers, floating-point values truncated toward zero, and
// booleans as 0 or 1, through the JSON library's conversion (other types throw its type error).
// A floating-point value outside T's range has no defined conversion and is refused.
template <typename T>
T RequiredNumber(const json& params, std::string_view key) {
  static_assert(std::is_integral_v<T>);
  const json& value = RequiredParameter(params, key);
  if (value.is_number_float()) {
    const double v = std::trunc(value.get<double>());
    if (!(v >= static_cast<double>(std::numeric_limits<T>::min()) &&
          v <= static_cast<double>(std::numeric_limits<T>::max()))) {
      throw std::out_of_range("parameter '" + std::string(key) + "' is out of range");
    }
  }
  return value.get<T>();
}

// A required string parameter, as a reference into `params`: a "text" can be many megabytes
// and is held once. Any other type throws the JSON library's type error. The key is a view,
// so that no temporary string is made for it that the reference could seem to outlive.
inline const std::string& RequiredString(const json& params, std::string_view key) {
  const json& value = RequiredParameter(params, key);
  // get_ref would throw a differently worded error for a wrong type; the conversion throws the
  // "type must be string" error the extension has always been answered with.
  if (!value.is_string()) (void)value.get<std::string>();
  return value.get_ref<const std::string&>();
}

// The value at `key` converted to T when `params` is an object holding it (a wrong type
// throws), otherwise `defaultValue`.
template <typename T>
T GetOptionalParameter(const json& params, const std::string& key, T defaultValue) {
  if (params.is_object()) {
    auto it = params.find(key);
    if (it != params.end()) return it->template get<T>();
  }
  return defaultValue;
}

}  // namespace morel_xy
