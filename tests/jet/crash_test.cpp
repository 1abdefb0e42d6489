#include <gtest/gtest.h>

#include <cstdlib>

#include "support/crash_harness.h"
#include "support/page_workload.h"
#include "support/temp_dir.h"

namespace {

// QUORLA_CRASH_ROUNDS runs more rounds than the default.
int Rounds() {
  const char* env = std::getenv("QUORLA_CRASH_ROUNDS");
  return env != nullptr ? std::atoi(env) : 200;
}

TEST(CrashHarness, PageTransactionsSurviveKillsWholeOrNotAtAll) {
  testsupport::TempDir dir;
  testsupport::PageWorkload workload(48);
  testsupport::CrashReport report =
      testsupport::RunCrashRounds(workload, dir.File("pages.dat"), Rounds(), 20261207, 150000);
  EXPECT_EQ(report.failure, "");
  EXPECT_GT(report.kills, Rounds() / 2);
  EXPECT_GT(report.committed, 0u);
  EXPECT_GT(report.hot_journals, 0) << "no kill landed inside a commit";
  RecordProperty("kills", report.kills);
  RecordProperty("committed", static_cast<int>(report.committed));
  RecordProperty("hot_journals", report.hot_journals);
}

}  // namespace
