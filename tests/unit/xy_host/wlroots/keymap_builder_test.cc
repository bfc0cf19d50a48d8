#include "desktop/wlroots/logic/keymap_builder.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace morel_xy::wlroots {
namespace {

// The keymap as a client loads it.
class LoadedKeymap {
 public:
  explicit LoadedKeymap(const std::string& text)
      : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref),
        keymap_(xkb_keymap_new_from_string(context_.get(), text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                           XKB_KEYMAP_COMPILE_NO_FLAGS),
                xkb_keymap_unref),
        state_(keymap_ ? xkb_state_new(keymap_.get()) : nullptr, xkb_state_unref) {}

  bool ok() const { return state_ != nullptr; }
  // The character a key (Linux code) gives under the modifier mask.
  std::string Text(uint32_t code, uint32_t mods) {
    xkb_state_update_mask(state_.get(), mods, 0, 0, 0, 0, 0);
    char text[16] = {};
    xkb_state_key_get_utf8(state_.get(), code + 8, text, sizeof text);
    return text;
  }
  xkb_keysym_t Keysym(uint32_t code) {
    xkb_state_update_mask(state_.get(), 0, 0, 0, 0, 0, 0);
    return xkb_state_key_get_one_sym(state_.get(), code + 8);
  }
  // The modifiers the keymap's own actions set when `code` is pressed.
  uint32_t ModsOfPress(uint32_t code) {
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(xkb_state_new(keymap_.get()),
                                                                 xkb_state_unref);
    xkb_state_update_key(state.get(), code + 8, XKB_KEY_DOWN);
    return xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED);
  }

 private:
  std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context_;
  std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap_;
  std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state_;
};

TEST(KeymapBuilderTest, TheFirstKeymapIsAUsKeyboardWithItsModifiers) {
  KeySlots slots(UsTextKeys());
  const std::optional<Keymap> keymap = BuildKeymap(FixedKeys(), slots.slots());
  ASSERT_TRUE(keymap);
  LoadedKeymap loaded(keymap->text);
  ASSERT_TRUE(loaded.ok());
  EXPECT_EQ(loaded.Text(30, 0), "a");
  EXPECT_EQ(loaded.Text(30, keymap->shiftMask), "A");
  EXPECT_EQ(loaded.Text(2, keymap->shiftMask), "!");
  EXPECT_EQ(loaded.Text(57, 0), " ");
  EXPECT_EQ(loaded.Keysym(28), XKB_KEY_Return);
  EXPECT_EQ(loaded.Keysym(1), XKB_KEY_Escape);
  EXPECT_EQ(loaded.Keysym(105), XKB_KEY_Left);
  EXPECT_EQ(loaded.Keysym(183), XKB_KEY_F13);
  // The masks the host reports are the ones the keymap's modifier keys stand for.
  EXPECT_NE(keymap->shiftMask, 0u);
  EXPECT_EQ(loaded.ModsOfPress(42), keymap->shiftMask);
  EXPECT_EQ(loaded.ModsOfPress(29), keymap->controlMask);
  EXPECT_EQ(loaded.ModsOfPress(56), keymap->altMask);
  EXPECT_EQ(loaded.ModsOfPress(125), keymap->superMask);
  EXPECT_EQ(keymap->MaskOf(Modifier::None), 0u);
}

TEST(KeymapBuilderTest, PlacedCharactersComeOutOfTheirKeys) {
  KeySlots slots(UsTextKeys());
  bool changed = false;
  const std::vector<char32_t> text{U'Ω', U'漢', U'字', U'é', U'€', U'ё'};
  std::vector<Keysym> wanted;
  for (char32_t c : text) wanted.push_back(KeysymForCodePoint(c));
  ASSERT_TRUE(slots.Place(wanted, KeySlots::Clock::now(), changed));
  const std::optional<Keymap> keymap = BuildKeymap(FixedKeys(), slots.slots());
  ASSERT_TRUE(keymap);
  LoadedKeymap loaded(keymap->text);
  ASSERT_TRUE(loaded.ok());
  const std::vector<std::pair<char32_t, std::string>> expected{
      {U'Ω', "Ω"}, {U'ω', "ω"}, {U'漢', "漢"}, {U'字', "字"}, {U'é', "é"},
      {U'É', "É"}, {U'€', "€"}, {U'ё', "ё"},   {U'Ё', "Ё"}};
  for (const auto& [character, utf8] : expected) {
    const std::optional<KeyPlace> place = slots.Find(KeysymForCodePoint(character));
    ASSERT_TRUE(place) << utf8;
    EXPECT_EQ(loaded.Text(place->code, place->shift ? keymap->shiftMask : 0), utf8);
  }
}

}  // namespace
}  // namespace morel_xy::wlroots
