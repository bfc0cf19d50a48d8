#include "desktop/process_start.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace morel_xy {
namespace {

TEST(ProcessStartTest, OwnProcessHasAStartTimeAndAParentStartedEarlier) {
  const std::optional<uint64_t> self = ProcessStartTicks(getpid());
  const std::optional<uint64_t> parent = ProcessStartTicks(getppid());
  ASSERT_TRUE(self);
  ASSERT_TRUE(parent);
  EXPECT_LE(*parent, *self);
  EXPECT_EQ(ProcessStartTicks(0), std::nullopt);
  EXPECT_EQ(ProcessStartTicks(-5), std::nullopt);
  EXPECT_EQ(ProcessStartTicks(0x7FFFFFF0), std::nullopt);
}

TEST(ProcessStartTest, FirstStartedProcessPrefersTheOlderThenTheKnownThenTheLowerPid) {
  const int32_t self = getpid();
  const int32_t init = 1;  // started before anything else, when this namespace shows it
  EXPECT_EQ(FirstStartedProcess({self, getppid()}), getppid());
  EXPECT_EQ(FirstStartedProcess({0x7FFFFFF0, self}), self) << "a process not in the table";
  EXPECT_EQ(FirstStartedProcess({0x7FFFFFF1, 0x7FFFFFF0}), 0x7FFFFFF0);
  EXPECT_EQ(FirstStartedProcess({self, self}), self);
  EXPECT_EQ(FirstStartedProcess({-1, 0}), -1);
  EXPECT_EQ(FirstStartedProcess({}), -1);
  if (ProcessStartTicks(init)) {
    EXPECT_EQ(FirstStartedProcess({self, init}), init);
  }
}

}  // namespace
}  // namespace morel_xy
