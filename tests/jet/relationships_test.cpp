// Relationships as Access recorded them in the samples: MSysRelationships and the index entries
// of both tables; recording new ones; finding rows by key through an index or a scan.

#include "jet/relationships.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "jet/key_lookup.h"
#include "jet/name_fold.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace jet {
namespace {

using testsupport::SamplePath;
namespace flags = relationship_flags;

const Relationship* Named(const std::vector<Relationship>& all, const std::string& name) {
  for (const Relationship& r : all) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

std::vector<int> Positions(const TableDef& def, const std::vector<std::string>& names) {
  std::vector<int> out;
  for (const auto& name : names) {
    for (size_t i = 0; i < def.columns.size(); ++i) {
      if (SameName(def.columns[i].name, name)) out.push_back(static_cast<int>(i));
    }
  }
  return out;
}

// The relationship index entry of `def` over `columns` on the given side, or nullptr.
const IndexDef* ReferenceIndex(const TableDef& def, const std::vector<int>& columns,
                               bool referenced_side) {
  for (const IndexDef& index : def.indexes) {
    if (!index.reference || index.reference->referenced_side != referenced_side) continue;
    std::vector<int> own;
    for (const IndexColumn& c : index.columns) own.push_back(c.column);
    if (own == columns) return &index;
  }
  return nullptr;
}

TEST(RelationshipsTest, ReadsWhatAccessRecordedInJet3AndJet4Files) {
  REQUIRE_SAMPLES();
  for (const char* file :
       {"jet4/indexTestV2000.mdb", "jet4/indexTestV2003.mdb", "jet3/indexTestV1997.mdb"}) {
    SCOPED_TRACE(file);
    auto db = Database::Open(SamplePath(file));
    const std::vector<Relationship> all = ReadRelationships(*db);
    const Relationship* deletes = Named(all, "Table2Table1");
    const Relationship* updates = Named(all, "Table3Table1");
    ASSERT_TRUE(deletes && updates);
    EXPECT_EQ(deletes->table, "Table1");
    EXPECT_EQ(deletes->columns, std::vector<std::string>{"otherfk1"});
    EXPECT_EQ(deletes->referenced_table, "Table2");
    EXPECT_EQ(deletes->referenced_columns, std::vector<std::string>{"id"});
    EXPECT_TRUE(deletes->enforced() && deletes->cascade_deletes());
    EXPECT_FALSE(deletes->cascade_updates() || deletes->cascade_null());
    EXPECT_EQ(updates->columns, std::vector<std::string>{"otherfk2"});
    EXPECT_EQ(updates->referenced_table, "Table3");
    EXPECT_TRUE(updates->enforced() && updates->cascade_updates());
    EXPECT_FALSE(updates->cascade_deletes() || updates->cascade_null());
  }
  // The navigation pane's own tables form a chain of cascading relationships.
  auto db = Database::Open(SamplePath("jet4/indexTestV2000.mdb"));
  const auto all = ReadRelationships(*db);
  EXPECT_EQ(all.size(), 4u);
  const Relationship* groups = Named(all, "MSysNavPaneGroupCategoriesMSysNavPaneGroups");
  ASSERT_TRUE(groups);
  EXPECT_EQ(groups->flags, flags::kCascadeUpdates | flags::kCascadeDeletes);
  EXPECT_TRUE(
      ReadRelationships(*Database::Open(SamplePath("jet4/testRefGlobalV2000.mdb"))).empty());
}

// Access writes an index entry of type 2 into both tables of a relationship with integrity; the
// two name each other, and their cascades are those of grbit.
TEST(RelationshipsTest, EveryEnforcedRelationshipHasIndexEntriesOnBothSides) {
  REQUIRE_SAMPLES();
  int checked = 0;
  for (const testsupport::SampleFile& sample : testsupport::SampleFiles({"jet3", "jet4"})) {
    SCOPED_TRACE(sample.path);
    auto db = Database::Open(sample.path);
    for (const Relationship& r : ReadRelationships(*db)) {
      SCOPED_TRACE(r.name);
      auto referring = db->GetTableDef(r.table);
      auto referenced = db->GetTableDef(r.referenced_table);
      const IndexDef* many = ReferenceIndex(*referring, Positions(*referring, r.columns), false);
      const IndexDef* one =
          ReferenceIndex(*referenced, Positions(*referenced, r.referenced_columns), true);
      if (!r.enforced()) {
        EXPECT_FALSE(many || one);
        continue;
      }
      ASSERT_TRUE(many && one);
      EXPECT_EQ(many->reference->related_index, one->number);
      EXPECT_EQ(one->reference->related_index, many->number);
      for (const IndexDef* index : {many, one}) {
        EXPECT_EQ(index->reference->cascade_updates, r.cascade_updates());
        EXPECT_EQ(index->reference->cascade_deletes, r.cascade_deletes());
        EXPECT_EQ(index->reference->cascade_null, r.cascade_null());
      }
      ++checked;
    }
  }
  EXPECT_GE(checked, 8);
}

// The readers in tests/oracle check what recording a relationship writes; here the reading of
// rows in any order, and of a relationship with a row missing, which is no relationship.
TEST(RelationshipsTest, RowsReadInColumnOrderAndTornRelationshipsSkipped) {
  REQUIRE_SAMPLES();
  testsupport::TempDir dir;
  const std::string path = dir.File("rel.mdb");
  std::filesystem::copy_file(SamplePath("jet4/indexTestV2000.mdb"), path);
  Relationship pair{"Paar", "Table1", {"data", "otherfk1"}, "Table2", {"data", "id"}, 0};
  Relationship torn = pair;
  torn.name = "Halb";
  {
    auto db = Database::OpenForWriting(path);
    auto def = db->GetTableDef(kRelationshipsTable);
    auto rows = RelationshipRows(pair, *def);
    db->BeginStatement();
    db->InsertRow(def->name, rows[1]);
    db->InsertRow(def->name, rows[0]);
    db->InsertRow(def->name, RelationshipRows(torn, *def)[1]);
    db->CommitStatement();
  }
  const auto all = ReadRelationships(*Database::Open(path));
  EXPECT_FALSE(Named(all, "Halb"));
  ASSERT_TRUE(Named(all, "Paar"));
  EXPECT_EQ(Named(all, "Paar")->columns, pair.columns);
  EXPECT_EQ(Named(all, "Paar")->referenced_columns, pair.referenced_columns);
}

// Rows by key agree with a comparison of every row, through the relationship's index and through
// a scan where no index fits; text keys ignore case as Jet's indexes do.
TEST(RelationshipsTest, FindsRowsByKeyThroughIndexesAndScans) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(SamplePath("jet4/indexTestV2000.mdb"));
  auto def = db->GetTableDef("Table1");
  const std::vector<int> fk = Positions(*def, {"otherfk1"});
  const std::vector<int> text_and_fk = Positions(*def, {"data", "otherfk2"});
  auto ids = [&](const std::vector<RowId>& rows) {
    std::set<int32_t> out;
    for (RowId id : rows) out.insert(std::get<int32_t>(db->ReadRow("Table1", id)[0]));
    return out;
  };
  EXPECT_EQ(ids(FindRowsByKey(*db, *def, fk, {int32_t{1}})), (std::set<int32_t>{1, 2}));
  EXPECT_EQ(ids(FindRowsByKey(*db, *def, fk, {int32_t{1}}, 1)).size(), 1u);
  EXPECT_TRUE(FindRowsByKey(*db, *def, fk, {int32_t{7}}).empty());
  EXPECT_EQ(ids(FindRowsByKey(*db, *def, text_and_fk, {std::string("BAZ11"), int32_t{11}})),
            (std::set<int32_t>{1}));
  EXPECT_TRUE(FindRowsByKey(*db, *def, text_and_fk, {std::string("baz11"), int32_t{13}}).empty());
  const ColumnDef& text = def->columns[static_cast<size_t>(text_and_fk[0])];
  EXPECT_TRUE(SameKeyValue(text, std::string("Grüße"), std::string("GRÜßE"), JetVersion::kJet4));
  EXPECT_FALSE(SameKeyValue(text, std::string("Grüße"), std::string("Gruße"), JetVersion::kJet4));
}

}  // namespace
}  // namespace jet
