// One open database per file for every part of the program.

#include <gtest/gtest.h>

#include <filesystem>

#include "db/shared_databases.h"

namespace {

TEST(SharedDatabases, OneOpenDatabasePerFileWhileAnyoneHoldsIt) {
  const std::filesystem::path samples = QUORLA_SAMPLES_DIR;
  if (!std::filesystem::exists(samples)) GTEST_SKIP() << "../shared/jet-samples is absent";
  const std::string path = (samples / "jet4" / "testV2000.mdb").string();
  const std::string other_spelling = (samples / "jet4" / "." / "testV2000.mdb").string();
  auto first = db::SharedDatabase(path);
  auto second = db::SharedDatabase(other_spelling);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_NE(db::SharedDatabase((samples / "jet4" / "testV2003.mdb").string()).get(), first.get());
  first.reset();
  second.reset();
  EXPECT_NE(db::SharedDatabase(path), nullptr);  // opened again after the last holder let go
}

}  // namespace
