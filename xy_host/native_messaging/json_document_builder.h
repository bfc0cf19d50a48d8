#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "native_messaging/host_response.h"

namespace morel {

// Builds a JSON value from the parser's events, as the library's own document parser does,
// except that strings and keys are moved out of the parser instead of copied: a request's
// large string is then held once, not twice.
//
// The member functions are the JSON library's SAX interface; each returns false to stop the
// parse. Not thread-safe.
class JsonDocumentBuilder {
 public:
  bool null();
  bool boolean(bool value);
  bool number_integer(json::number_integer_t value);
  bool number_unsigned(json::number_unsigned_t value);
  bool number_float(json::number_float_t value, const std::string& text);
  bool string(std::string& value);
  bool binary(json::binary_t& value);
  bool start_object(std::size_t size);
  bool key(std::string& name);
  bool end_object();
  bool start_array(std::size_t size);
  bool end_array();
  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& error);

  // The finished value. Only meaningful after a parse that succeeded.
  json Release() { return std::move(m_root); }

 private:
  // Stores `value` where the parse is: the root, the next array element, or the value of
  // the key just read. Returns where it went.
  json* Add(json&& value);

  json m_root;
  std::vector<json*> m_open;   // the arrays and objects being filled, innermost last
  json* m_keyValue = nullptr;  // the slot the last key made in the innermost object
};

}  // namespace morel
