// Relationships beyond those the samples hold, on copies of indexTestV2000.mdb (Table1: id,
// otherfk1, otherfk2, data, otherfk3; Table2: id, data): a relationship over two columns recorded
// the way a new one is recorded and kept by the next statement, keys set Null by a cascade, and a
// table whose rows refer to each other.

#include "jetsql/dml/referential_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "jet/key_lookup.h"
#include "jetsql/session.h"
#include "support/error_of.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace jetsql {
namespace {

using testsupport::ErrorOf;

namespace flags = jet::relationship_flags;
using jet::Value;

class ReferentialChecksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_SAMPLES();
    path_ = dir_.File("rel.mdb");
    testsupport::CopySample("jet4/indexTestV2000.mdb", path_);
  }

  static int64_t Count(Session& s, const std::string& sql) {
    return std::get<int32_t>(s.Query(sql).rows.at(0).at(0));
  }

  // The row of `table` whose first column is `id`.
  static jet::RowId RowOf(jet::Database& db, const std::string& table, int32_t id) {
    auto def = db.GetTableDef(table);
    auto rows = jet::FindRowsByKey(db, *def, {0}, {id});
    EXPECT_EQ(rows.size(), 1u) << table << " " << id;
    return rows.at(0);
  }

  static std::vector<Value> Row(int32_t id, Value fk1, Value fk2, Value data, Value fk3) {
    return {id, std::move(fk1), std::move(fk2), std::move(data), std::move(fk3)};
  }

  testsupport::TempDir dir_;
  std::string path_;
};

TEST_F(ReferentialChecksTest, RecordedRelationshipOverTwoColumnsIsKeptByTheNextStatement) {
  {
    jet::Relationship pair;
    pair.name = "Table2Table1Paar";
    pair.table = "Table1";
    pair.columns = {"data", "otherfk1"};
    pair.referenced_table = "Table2";
    pair.referenced_columns = {"data", "id"};
    auto db = jet::Database::OpenForWriting(path_);
    auto def = db->GetTableDef(jet::kRelationshipsTable);
    db->BeginStatement();
    for (auto& row : jet::RelationshipRows(pair, *def)) db->InsertRow(def->name, std::move(row));
    db->CommitStatement();
  }
  Session s(path_, Session::Mode::kReadWrite);
  // Both parts must match one row (text without regard to case); a Null part is not checked.
  EXPECT_EQ(s.Execute("INSERT INTO Table1 (id, otherfk1, otherfk2, data) "
                      "VALUES (10, 1, 10, 'FOO1')"),
            1);
  std::string description;
  EXPECT_EQ(ErrorOf(
                [&] {
                  s.Execute(
                      "INSERT INTO Table1 (id, otherfk1, otherfk2, data) "
                      "VALUES (11, 1, 10, 'foo2')");
                },
                &description),
            3201);
  EXPECT_EQ(description,
            "Der Datensatz kann nicht hinzugefügt oder geändert werden, da ein Datensatz in der "
            "Tabelle 'Table2' mit diesem Datensatz in Beziehung stehen muss.");
  EXPECT_EQ(s.Execute("INSERT INTO Table1 (id, otherfk1, otherfk2) VALUES (12, 2, 10)"), 1);
  // Changing one part of a referenced key is a change of the key.
  EXPECT_EQ(
      ErrorOf([&] { s.Execute("UPDATE Table2 SET data = 'anders' WHERE id = 1"); }, &description),
      3200);
  EXPECT_EQ(description,
            "Der Datensatz kann nicht gelöscht oder geändert werden, da die Tabelle 'Table1' in "
            "Beziehung stehende Datensätze enthält.");
  EXPECT_EQ(s.Execute("UPDATE Table2 SET data = 'anders' WHERE id = 2"), 1);
  EXPECT_EQ(s.Execute("UPDATE Table2 SET data = 'foo1' WHERE id = 1"), 1);
  EXPECT_EQ(Count(s, "SELECT Count(*) FROM Table1"), 6);
}

TEST_F(ReferentialChecksTest, CascadesSetKeysNullAndFollowRowsReferringToTheirOwnTable) {
  jet::Relationship to_null;
  to_null.name = "nullen";
  to_null.table = "Table1";
  to_null.columns = {"otherfk1"};
  to_null.referenced_table = "Table2";
  to_null.referenced_columns = {"id"};
  to_null.flags = flags::kCascadeNull;
  jet::Relationship chain = to_null;
  chain.name = "kette";
  chain.columns = {"otherfk3"};
  chain.referenced_table = "Table1";
  chain.flags = flags::kCascadeDeletes;
  jet::Relationship ignored = to_null;  // without integrity: never checked
  ignored.name = "lose";
  ignored.columns = {"otherfk2"};
  ignored.flags = flags::kNoIntegrity;

  auto db = jet::Database::OpenForWriting(path_);
  db->BeginStatement();
  ReferentialWriter writer(*db, {to_null, chain, ignored});
  writer.Delete("Table2", RowOf(*db, "Table2", 1));
  for (int32_t id : {1, 2}) {
    const auto row = db->ReadRow("Table1", RowOf(*db, "Table1", id));
    EXPECT_TRUE(jet::IsNull(row[1]));
    EXPECT_EQ(row[4], Value{int32_t{0}});  // the other keys stay
  }

  // A row may refer to itself; a chain of rows goes with its first.
  writer.Insert("Table1", Row(100, Value{}, int32_t{99}, std::string("erste"), int32_t{100}));
  for (int32_t id = 101; id < 400; ++id) {
    writer.Insert("Table1", Row(id, Value{}, Value{}, Value{}, id - 1));
  }
  const jet::RowId last = RowOf(*db, "Table1", 399);
  EXPECT_TRUE(writer.Delete("Table1", RowOf(*db, "Table1", 100)));
  EXPECT_FALSE(writer.Delete("Table1", last));
  // Rows 1 to 3 refer to row 0, which refers to itself.
  EXPECT_TRUE(writer.Delete("Table1", RowOf(*db, "Table1", 0)));
  db->CommitStatement();
  EXPECT_FALSE(db->Scan("Table1")->Valid());

  db->BeginStatement();
  ReferentialWriter next(*db, {to_null, chain, ignored});
  EXPECT_EQ(ErrorOf([&] { next.Insert("Table1", Row(500, Value{}, Value{}, Value{}, 400)); }),
            3201);
  db->RollbackStatement();
  EXPECT_FALSE(db->Scan("Table1")->Valid());
}

}  // namespace
}  // namespace jetsql
