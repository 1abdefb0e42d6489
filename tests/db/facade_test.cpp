// The database facade over the engine: catalogue read afresh, items by index and by name,
// fields in order, handles released when replaced.

#include <gtest/gtest.h>

#include "db/dbengine.h"
#include "support/error_of.h"

namespace {

using testsupport::ErrorOf;

class CountingDatabase : public jet::Database {
 public:
  explicit CountingDatabase(int* reads) : reads_(reads) {}
  jet::JetVersion version() const override { return jet::JetVersion::kJet4; }
  std::vector<jet::CatalogEntry> Tables() override {
    ++*reads_;
    std::vector<jet::CatalogEntry> out(3);
    out[0].name = "MSysObjects";
    out[0].attributes = 0x80000002u;
    out[1].name = "Artikel";
    out[2].name = "leer";
    if (*reads_ > 2) out.pop_back();  // a table dropped by someone else
    return out;
  }
  std::shared_ptr<const jet::TableDef> GetTableDef(const std::string& name) override {
    auto def = std::make_shared<jet::TableDef>();
    def->name = name;
    if (name == "Artikel") {
      for (const char* c : {"Nr", "Bezeichnung", "Preis"}) {
        jet::ColumnDef col;
        col.name = c;
        def->columns.push_back(col);
      }
    }
    return def;
  }
  std::unique_ptr<jet::TableCursor> Scan(const std::string&) override { return nullptr; }
  std::unique_ptr<jet::IndexCursor> OpenIndex(const std::string&, int) override { return nullptr; }
  std::vector<jet::Value> ReadRow(const std::string&, jet::RowId) override { return {}; }

 private:
  int* reads_;
};

// Opens every path as a CountingDatabase; runs no statements.
class CountingFiles : public db::FileEngine {
 public:
  explicit CountingFiles(int* reads) : reads_(reads) {}
  std::shared_ptr<jet::Database> Open(const std::string&) override {
    return std::make_unique<CountingDatabase>(reads_);
  }
  void Execute(const std::string&, const std::string&) override {}
  jetsql::RecordSet Query(const std::string&, const std::string&,
                          const jetsql::CancelCheck&) override {
    return {};
  }

 private:
  int* reads_;
};

TEST(DbFacade, CatalogueIsReadAfreshItemsFoundByIndexAndNameAndHandlesReleased) {
  int reads = 0;
  db::DBEngine engine(std::make_shared<CountingFiles>(&reads));
  std::shared_ptr<db::Database> d = engine.OpenDatabase("/x.mdb");
  EXPECT_EQ(d->Name(), "/x.mdb");
  EXPECT_EQ(d->TableDefs().Count(), 3);
  EXPECT_EQ(d->TableDefs().Item(0)->Attributes(), 0x80000002u);
  EXPECT_EQ(d->TableDefs().Count(), 2);  // third read: the catalogue changed
  EXPECT_EQ(reads, 3);
  auto t = d->TableDefs().Item("artikel");  // names compare without case
  EXPECT_EQ(t->Name(), "Artikel");
  ASSERT_EQ(t->Fields().size(), 3u);
  EXPECT_EQ(t->Fields()[0].Name(), "Nr");
  EXPECT_EQ(t->Fields()[2].Name(), "Preis");
  EXPECT_EQ(ErrorOf([&] { d->TableDefs().Item("fehlt"); }), jet::err::kItemNotFound);
  EXPECT_EQ(ErrorOf([&] { d->TableDefs().Item(2); }), jet::err::kItemNotFound);
  EXPECT_EQ(ErrorOf([&] { d->TableDefs().Item(-1); }), jet::err::kItemNotFound);
  // Replacing the handle releases the first, though a table definition of it is still held.
  std::weak_ptr<db::Database> first = d;
  d = engine.OpenDatabase("/x.mdb");
  EXPECT_TRUE(first.expired());
  EXPECT_EQ(t->Name(), "Artikel");
}

// Opening a missing file, and a statement the real engine cannot run on it, raise its error.
TEST(DbFacade, FailuresRaiseTheEnginesError) {
  db::DBEngine engine;
  EXPECT_EQ(ErrorOf([&] { engine.OpenDatabase("/gibt/es/nicht.mdb"); }), jet::err::kFileNotFound);
  int reads = 0;
  db::Database d("/gibt/es/nicht.mdb", std::make_shared<CountingDatabase>(&reads),
                 std::make_shared<db::JetFileEngine>());
  EXPECT_EQ(ErrorOf([&] { d.Execute("create table t (a long)"); }), jet::err::kFileNotFound);
}

}  // namespace
