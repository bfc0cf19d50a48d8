#include "actions/key_table.h"

#include <initializer_list>

namespace morel_xy::detail {
namespace {

std::unordered_map<std::string, KeyboardSpecialKey> BuildStringToSpecialKeyMap() {
  std::unordered_map<std::string, KeyboardSpecialKey> map;
  const auto add = [&map](KeyboardSpecialKey key, std::initializer_list<const char*> names) {
    for (const char* name : names) map.emplace(name, key);
  };
#define MOREL_XY_KEY_NAMES(key, sym, ...) add(KeyboardSpecialKey::key, {__VA_ARGS__});
  MOREL_XY_SPECIAL_KEYS(MOREL_XY_KEY_NAMES)
#undef MOREL_XY_KEY_NAMES
  return map;
}

std::unordered_map<KeyboardSpecialKey, Keysym> BuildSpecialKeyMap() {
  std::unordered_map<KeyboardSpecialKey, Keysym> map;
#define MOREL_XY_KEY_KEYSYM(key, sym, ...) map.emplace(KeyboardSpecialKey::key, sym);
  MOREL_XY_SPECIAL_KEYS(MOREL_XY_KEY_KEYSYM)
#undef MOREL_XY_KEY_KEYSYM
  return map;
}

}  // namespace

const std::unordered_map<std::string, KeyboardSpecialKey> STRING_TO_SPECIAL_KEY_MAP =
    BuildStringToSpecialKeyMap();
const std::unordered_map<KeyboardSpecialKey, Keysym> SPECIAL_KEY_MAP = BuildSpecialKeyMap();

}  // namespace morel_xy::detail
