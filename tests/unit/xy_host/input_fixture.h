#pragma once

#include <gtest/gtest.h>

#include "desktop/fake/fake_desktop.h"
#include "impl/desktop_access.h"
#include "impl/input_setup.h"
#include "impl/mouse.h"

namespace morel_xy {

// A FakeDesktop installed as the host's desktop, with the input state as at process start.
class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    impl::SetDesktop(&fake);
    impl::detail::ResetInputSetupForTesting();
    impl::Init();
  }
  void TearDown() override { impl::SetDesktop(nullptr); }

  FakeDesktop fake;
};

inline SleepCall Ms(int ms) {
  return SleepCall{std::chrono::milliseconds(ms)};
}

}  // namespace morel_xy
