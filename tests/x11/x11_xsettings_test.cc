// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
// clang-format on

#include "desktop/x11/x11_xsettings.h"

namespace morel_xy {
namespace {

// Builds an XSETTINGS blob in either byte order.
class Blob {
 public:
  explicit Blob(bool bigEndian) : bigEndian_(bigEndian) {
    data_.push_back(bigEndian ? 1 : 0);
    data_.append(3, '\0');
    U32(7);  // serial
    U32(0);  // number of settings, patched by Add*
  }
  Blob& AddInteger(const std::string& name, int32_t value) {
    Header(0, name);
    U32(static_cast<uint32_t>(value));
    return Count();
  }
  Blob& AddString(const std::string& name, const std::string& value) {
    Header(1, name);
    U32(static_cast<uint32_t>(value.size()));
    data_ += value;
    data_.append((4 - value.size() % 4) % 4, '\0');
    return Count();
  }
  Blob& AddColor(const std::string& name) {
    Header(2, name);
    data_.append(8, '\x7f');
    return Count();
  }
  const std::string& data() const { return data_; }

 private:
  void U(uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = 8 * (bigEndian_ ? size - 1 - i : i);
      data_.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  }
  void U32(uint32_t value) { U(value, 4); }
  void Header(int type, const std::string& name) {
    data_.push_back(static_cast<char>(type));
    data_.push_back('\0');
    U(static_cast<uint32_t>(name.size()), 2);
    data_ += name;
    data_.append((4 - name.size() % 4) % 4, '\0');
    U32(0);  // last-change serial
  }
  Blob& Count() {
    ++count_;
    for (int i = 0; i < 4; ++i) {
      const int shift = 8 * (bigEndian_ ? 3 - i : i);
      data_[8 + i] = static_cast<char>((count_ >> shift) & 0xFF);
    }
    return *this;
  }

  bool bigEndian_;
  uint32_t count_ = 0;
  std::string data_;
};

TEST(XSettingsTest, FindsTheIntegerAfterOtherTypesInBothByteOrders) {
  for (const bool bigEndian : {false, true}) {
    Blob blob(bigEndian);
    blob.AddString("Net/ThemeName", "Adwaita")
        .AddColor("Gtk/Color")
        .AddInteger("Net/DoubleClickDistance", 5)
        .AddInteger("Net/DoubleClickTime", 250);
    EXPECT_EQ(FindXSettingsInteger(blob.data(), "Net/DoubleClickTime"), 250);
    EXPECT_EQ(FindXSettingsInteger(blob.data(), "Net/DoubleClickDistance"), 5);
    EXPECT_EQ(FindXSettingsInteger(blob.data(), "Net/ThemeName"), std::nullopt) << "a string";
    EXPECT_EQ(FindXSettingsInteger(blob.data(), "Net/Missing"), std::nullopt);
  }
}

TEST(XSettingsTest, TruncatedOrCorruptBlobsAreRejectedWithoutReadingPastTheEnd) {
  Blob blob(false);
  blob.AddString("Net/ThemeName", "Adwaita").AddInteger("Net/DoubleClickTime", 250);
  const std::string whole = blob.data();
  for (size_t length = 0; length < whole.size(); ++length) {
    // Copied so that the sanitizers see reads past the shorter buffer.
    const std::string cut(whole.data(), length);
    EXPECT_EQ(FindXSettingsInteger(cut, "Net/DoubleClickTime"), std::nullopt) << length;
  }
  std::string unknownType = whole;
  unknownType[12] = 9;
  EXPECT_EQ(FindXSettingsInteger(unknownType, "Net/DoubleClickTime"), std::nullopt);
  std::string hugeCount = whole;
  hugeCount.replace(8, 4, "\xff\xff\xff\xff");
  EXPECT_EQ(FindXSettingsInteger(hugeCount, "Net/DoubleClickTime"), 250) << "found before the end";
  std::string hugeName = whole;
  hugeName[14] = '\xff';
  hugeName[15] = '\xff';
  EXPECT_EQ(FindXSettingsInteger(hugeName, "Net/DoubleClickTime"), std::nullopt);
}

}  // namespace
}  // namespace morel_xy
