#include "desktop/process_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace morel_xy {
namespace {

TEST(ProcessTableTest, OwnProcessHasAStartTimeAndAParentStartedEarlier) {
  const ProcessTable& table = ProcessTable::System();
  const std::optional<uint64_t> self = table.StartTime(getpid());
  const std::optional<uint64_t> parent = table.StartTime(getppid());
  ASSERT_TRUE(self);
  ASSERT_TRUE(parent);
  EXPECT_LE(*parent, *self);
  EXPECT_EQ(table.StartTime(0), std::nullopt);
  EXPECT_EQ(table.StartTime(-5), std::nullopt);
  EXPECT_EQ(table.StartTime(0x7FFFFFF0), std::nullopt);
}

}  // namespace
}  // namespace morel_xy
