// clang-format off
// gtest names a type None, which Xlib defines as a macro: gtest goes first.
#include <gtest/gtest.h>
// clang-format on

#include "desktop/x11/x11_xsettings.h"

#include "xsettings_blob.h"

namespace morel_xy {
namespace {

using morel_test::XSettingsBlob;

TEST(XSettingsTest, FindsTheIntegerAfterOtherTypesInBothByteOrders) {
  for (const bool bigEndian : {false, true}) {
    XSettingsBlob blob(bigEndian);
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
  XSettingsBlob blob(false);
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
