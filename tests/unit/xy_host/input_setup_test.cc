#include "impl/input_setup.h"

#include <gtest/gtest.h>

#include "desktop/fake/fake_desktop.h"
#include "impl/desktop_access.h"

namespace morel_xy::impl {
namespace {

class InputSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDesktop(&desktop);
    detail::ResetInputSetupForTesting();
  }
  void TearDown() override { SetDesktop(nullptr); }

  FakeDesktop desktop;
};

TEST_F(InputSetupTest, FirstCallConfiguresAndSetsTheStartingClickState) {
  EXPECT_TRUE(Init());
  EXPECT_EQ(desktop.configureCount, 1);
  EXPECT_EQ(detail::gsClickCount, 0);
  EXPECT_EQ(detail::gsLastClickTime, 0.0);
  EXPECT_EQ(detail::gsEventNumber, 32000);
  for (int32_t number : detail::gsButtonEventNumber) EXPECT_EQ(number, 32000);
}

TEST_F(InputSetupTest, SecondCallNeitherReconfiguresNorResetsTheClickState) {
  ASSERT_TRUE(Init());
  detail::gsClickCount = 2;
  detail::gsLastClickTime = 12.5;
  detail::gsEventNumber = 32007;
  detail::gsButtonEventNumber[1] = 32003;
  EXPECT_TRUE(Init());
  EXPECT_EQ(desktop.configureCount, 1);
  EXPECT_EQ(detail::gsClickCount, 2);
  EXPECT_EQ(detail::gsLastClickTime, 12.5);
  EXPECT_EQ(detail::gsEventNumber, 32007);
  EXPECT_EQ(detail::gsButtonEventNumber[1], 32003);
}

}  // namespace
}  // namespace morel_xy::impl
