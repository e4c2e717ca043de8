#include "app/batch_progress.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pavlex::app {
namespace {

TEST(BatchProgress, DurationsReadAsClockTimes) {
  EXPECT_EQ(FormatDuration(0), "0:00");
  EXPECT_EQ(FormatDuration(65.4), "1:05");
  EXPECT_EQ(FormatDuration(59.6), "1:00");
  EXPECT_EQ(FormatDuration(43207), "12:00:07");
  EXPECT_EQ(FormatDuration(-1), "?");
  EXPECT_EQ(FormatDuration(std::nan("")), "?");
  EXPECT_EQ(FormatDuration(1e300), "?");
}

TEST(BatchProgress, LineCountsFilesFailuresAndEstimatesTheRest) {
  EXPECT_EQ(FormatBatchProgress(0, 200, 0, 0.2), "[....................] 0/200 files, 0:00 elapsed");
  // 50 files in 10 s: 150 more take 30 s.
  EXPECT_EQ(FormatBatchProgress(50, 200, 2, 10), "[#####...............] 50/200 files, 2 failed, 0:10 elapsed, about 0:30 left");
  EXPECT_EQ(FormatBatchProgress(200, 200, 0, 61), "[####################] 200/200 files, 1:01 elapsed");
  EXPECT_EQ(FormatBatchProgress(0, 0, 0, 0), "[####################] 0/0 files, 0:00 elapsed");
}

}  // namespace
}  // namespace pavlex::app
