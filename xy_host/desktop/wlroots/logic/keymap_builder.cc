#include "desktop/wlroots/logic/keymap_builder.h"

#include <xkbcommon/xkbcommon.h>

#include <map>
#include <memory>

namespace morel_xy::wlroots {
namespace {

struct ContextDeleter {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapDeleter {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct StringDeleter {
  void operator()(char* text) const { free(text); }
};

const char* ModifierName(Modifier modifier) {
  switch (modifier) {
    case Modifier::Shift:
      return XKB_MOD_NAME_SHIFT;
    case Modifier::Control:
      return XKB_MOD_NAME_CTRL;
    case Modifier::Alt:
      return XKB_MOD_NAME_ALT;
    case Modifier::Super:
      return XKB_MOD_NAME_LOGO;
    case Modifier::None:
      break;
  }
  return nullptr;
}

std::optional<std::string> KeysymName(Keysym keysym) {
  char name[64];
  const int length = xkb_keysym_get_name(keysym, name, sizeof name);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof name) return std::nullopt;
  return std::string(name, static_cast<size_t>(length));
}

// The keymap's source: small and self-contained (no include of the system's XKB files), so
// it compiles the same everywhere and quickly in every client that loads it.
std::optional<std::string> KeymapSource(const std::vector<FixedKey>& fixed,
                                        const std::vector<KeySlots::Slot>& slots) {
  // XKB keycode -> its symbols line.
  std::map<uint32_t, std::string> keys;
  std::map<Modifier, std::string> modifierKeys;
  for (const FixedKey& key : fixed) {
    const std::optional<std::string> name = KeysymName(key.keysym);
    if (!name) return std::nullopt;
    const std::string keyName = "<K" + std::to_string(key.code + 8) + ">";
    keys[key.code + 8] = "  key " + keyName + " { type = \"ONE_LEVEL\", [ " + *name + " ] };\n";
    if (key.modifier != Modifier::None) {
      std::string& list = modifierKeys[key.modifier];
      list += (list.empty() ? "" : ", ") + keyName;
    }
  }
  for (const KeySlots::Slot& slot : slots) {
    const std::string keyName = "<K" + std::to_string(slot.code + 8) + ">";
    const Keysym plain = slot.levels[0], shifted = slot.levels[1];
    if (plain == keysym::kNoSymbol) continue;
    const std::optional<std::string> plainName = KeysymName(plain);
    if (!plainName) return std::nullopt;
    if (shifted == keysym::kNoSymbol) {
      keys[slot.code + 8] =
          "  key " + keyName + " { type = \"ONE_LEVEL\", [ " + *plainName + " ] };\n";
      continue;
    }
    const std::optional<std::string> shiftedName = KeysymName(shifted);
    if (!shiftedName) return std::nullopt;
    const KeysymCase kase = CaseOf(plain);
    const char* type = kase.HasTwo() && kase.upper == shifted ? "ALPHABETIC" : "TWO_LEVEL";
    keys[slot.code + 8] = "  key " + keyName + " { type = \"" + type + "\", [ " + *plainName +
                          ", " + *shiftedName + " ] };\n";
  }

  std::string source = "xkb_keymap {\nxkb_keycodes \"morel\" {\n  minimum = 8;\n  maximum = 255;\n";
  for (const auto& [code, line] : keys) {
    source += "  <K" + std::to_string(code) + "> = " + std::to_string(code) + ";\n";
  }
  source +=
      "};\n"
      "xkb_types \"morel\" {\n"
      "  type \"ONE_LEVEL\" { modifiers = none; level_name[Level1] = \"Any\"; };\n"
      "  type \"TWO_LEVEL\" { modifiers = Shift; map[Shift] = Level2;\n"
      "    level_name[Level1] = \"Base\"; level_name[Level2] = \"Shift\"; };\n"
      "  type \"ALPHABETIC\" { modifiers = Shift + Lock; map[Shift] = Level2;\n"
      "    map[Lock] = Level2; level_name[Level1] = \"Base\"; level_name[Level2] = \"Caps\"; };\n"
      "};\n"
      "xkb_compat \"morel\" {\n"
      "  interpret Any + AnyOf(all) { action = SetMods(modifiers = modMapMods, clearLocks); };\n"
      "};\n"
      "xkb_symbols \"morel\" {\n";
  for (const auto& [code, line] : keys) source += line;
  for (const auto& [modifier, list] : modifierKeys) {
    source += "  modifier_map " + std::string(ModifierName(modifier)) + " { " + list + " };\n";
  }
  source += "};\n};\n";
  return source;
}

}  // namespace

uint32_t Keymap::MaskOf(Modifier modifier) const {
  switch (modifier) {
    case Modifier::Shift:
      return shiftMask;
    case Modifier::Control:
      return controlMask;
    case Modifier::Alt:
      return altMask;
    case Modifier::Super:
      return superMask;
    case Modifier::None:
      break;
  }
  return 0;
}

std::optional<Keymap> BuildKeymap(const std::vector<FixedKey>& fixed,
                                  const std::vector<KeySlots::Slot>& slots) {
  const std::optional<std::string> source = KeymapSource(fixed, slots);
  if (!source) return std::nullopt;
  std::unique_ptr<xkb_context, ContextDeleter> context(
      xkb_context_new(static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES |
                                                     XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
  if (!context) return std::nullopt;
  // Nothing on stderr: the browser shows the host's stderr in its log, and a refused keymap
  // is reported by the result.
  xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
  std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(xkb_keymap_new_from_string(
      context.get(), source->c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return std::nullopt;
  std::unique_ptr<char, StringDeleter> text(
      xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1));
  if (!text) return std::nullopt;
  Keymap result;
  result.text = text.get();
  const auto mask = [&keymap](const char* name) {
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap.get(), name);
    return index == XKB_MOD_INVALID || index >= 32 ? 0u : 1u << index;
  };
  result.shiftMask = mask(XKB_MOD_NAME_SHIFT);
  result.controlMask = mask(XKB_MOD_NAME_CTRL);
  result.altMask = mask(XKB_MOD_NAME_ALT);
  result.superMask = mask(XKB_MOD_NAME_LOGO);
  return result;
}

}  // namespace morel_xy::wlroots
