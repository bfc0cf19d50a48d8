#pragma once

#include <gtest/gtest.h>

#include "actions/mouse.h"
#include "desktop/fake/fake_desktop.h"

namespace morel_xy {

// A FakeDesktop and the host's memory of the pointer, as at process start.
class InputTest : public ::testing::Test {
 protected:
  FakeDesktop fake;
  MouseEvent lastMouseEvent{};
};

inline SleepCall Ms(int ms) {
  return SleepCall{std::chrono::milliseconds(ms)};
}

}  // namespace morel_xy
