// Database.Execute on the database the handle holds, and one open database per file for every
// part of the program.

#include <gtest/gtest.h>

#include <filesystem>

#include "db/database.h"
#include "db/shared_databases.h"
#include "jetsql/fake_database.h"

namespace {

using jetsql::testing::FakeDatabase;

TEST(DatabaseExecute, WritesThroughTheHeldDatabaseAndCountsTheRecords) {
  auto fake = std::make_shared<FakeDatabase>();
  fake->set_writable(true);
  jet::TableDef def;
  def.name = "Artikel";
  jet::ColumnDef nr;
  nr.name = "Nr";
  nr.type = jet::ColumnType::kLong;
  def.columns = {nr};
  fake->AddTable(def);
  db::Database database("egal.mdb", fake);
  database.Execute("INSERT INTO Artikel (Nr) SELECT 1 FROM Artikel UNION SELECT 2 FROM Artikel");
  EXPECT_EQ(database.RecordsAffected(), 0);
  database.Execute("INSERT INTO Artikel VALUES (7)");
  database.Execute("INSERT INTO Artikel SELECT Nr + 1 AS Nr FROM Artikel");
  EXPECT_EQ(database.RecordsAffected(), 1);
  database.Execute("UPDATE Artikel SET Nr = Nr * 10");
  EXPECT_EQ(database.RecordsAffected(), 2);
  EXPECT_EQ(fake->LiveRows("Artikel"),
            (std::vector<std::vector<jet::Value>>{{int32_t{70}}, {int32_t{80}}}));
  try {
    database.Execute("SELECT * FROM Artikel");
    ADD_FAILURE();
  } catch (const jet::Error& e) {
    EXPECT_EQ(e.number(), 3065);
  }
}

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
