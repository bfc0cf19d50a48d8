#include "native_messaging/json_document_builder.h"

#include <utility>

namespace morel {

json* JsonDocumentBuilder::Add(json&& value) {
  if (m_open.empty()) {
    m_root = std::move(value);
    return &m_root;
  }
  json& parent = *m_open.back();
  if (parent.is_array()) {
    auto& elements = parent.get_ref<json::array_t&>();
    elements.push_back(std::move(value));
    return &elements.back();
  }
  *m_keyValue = std::move(value);
  return m_keyValue;
}

bool JsonDocumentBuilder::null() {
  Add(json(nullptr));
  return true;
}

bool JsonDocumentBuilder::boolean(bool value) {
  Add(json(value));
  return true;
}

bool JsonDocumentBuilder::number_integer(json::number_integer_t value) {
  Add(json(value));
  return true;
}

bool JsonDocumentBuilder::number_unsigned(json::number_unsigned_t value) {
  Add(json(value));
  return true;
}

bool JsonDocumentBuilder::number_float(json::number_float_t value, const std::string&) {
  Add(json(value));
  return true;
}

bool JsonDocumentBuilder::string(std::string& value) {
  Add(json(std::move(value)));
  return true;
}

bool JsonDocumentBuilder::binary(json::binary_t& value) {
  Add(json(std::move(value)));
  return true;
}

bool JsonDocumentBuilder::start_object(std::size_t) {
  m_open.push_back(Add(json(json::value_t::object)));
  return true;
}

bool JsonDocumentBuilder::key(std::string& name) {
  // A repeated key takes the last value, as with the library's own parser.
  m_keyValue = &m_open.back()->get_ref<json::object_t&>()[std::move(name)];
  return true;
}

bool JsonDocumentBuilder::end_object() {
  m_open.pop_back();
  return true;
}

bool JsonDocumentBuilder::start_array(std::size_t) {
  m_open.push_back(Add(json(json::value_t::array)));
  return true;
}

bool JsonDocumentBuilder::end_array() {
  m_open.pop_back();
  return true;
}

bool JsonDocumentBuilder::parse_error(std::size_t, const std::string&,
                                      const nlohmann::detail::exception&) {
  return false;
}

}  // namespace morel
