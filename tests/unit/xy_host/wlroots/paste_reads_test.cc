#include "desktop/wlroots/logic/paste_reads.h"

#include <gtest/gtest.h>

namespace morel_xy::wlroots {
namespace {

using namespace std::chrono_literals;

TEST(PasteReadsTest, AReadIsWaitedForLongOnlyWhileTheClientsLastPasteHadIt) {
  PasteReads reads;
  // Before any paste: read as Chromium does, twice.
  EXPECT_EQ(reads.NextWait(1), PasteReads::kPatience);
  EXPECT_EQ(reads.NextWait(2), 0ms);
  reads.Ended(1);
  EXPECT_EQ(reads.NextWait(1), PasteReads::kQuiet);
  reads.Ended(2);
  EXPECT_EQ(reads.NextWait(1), PasteReads::kPatience);
  // More reads than any client needs are never waited for.
  reads.Ended(7);
  EXPECT_EQ(reads.NextWait(1), PasteReads::kPatience);
  EXPECT_EQ(reads.NextWait(PasteReads::kMostReads), 0ms);
  EXPECT_LT(PasteReads::kQuiet, PasteReads::kPatience);
}

}  // namespace
}  // namespace morel_xy::wlroots
