// The engine against the real Access sample files: catalogue, definitions, values, refusals.

#include "jet/database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "jet/database_file.h"
#include "jet/memory_file.h"
#include "jet/rc4.h"
#include "support/error_of.h"
#include "support/jet_samples.h"

namespace jet {
namespace {

using testsupport::HaveSamples;
using testsupport::SamplePath;

std::vector<std::string> UserTables(Database& db) {
  std::vector<std::string> names;
  for (const CatalogEntry& e : db.Tables()) {
    if ((e.attributes & 0x80000002u) == 0) names.push_back(e.name);
  }
  return names;
}

std::vector<std::vector<Value>> AllRows(Database& db, const std::string& table) {
  auto def = db.GetTableDef(table);
  std::vector<std::vector<Value>> rows;
  for (auto c = db.Scan(table); c->Valid(); c->Next()) {
    std::vector<Value> row;
    for (size_t i = 0; i < def->columns.size(); ++i) row.push_back(c->value(static_cast<int>(i)));
    rows.push_back(std::move(row));
  }
  return rows;
}

using testsupport::ErrorOf;

// The engine lists tables in the order of the catalogue's name index; the readers in
// tests/oracle list them as stored.
TEST(DatabaseCatalog, NameOrderPutsLaterTablesAmongTheOthers) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(SamplePath("jet3/testIndexCodesV1997.mdb"));
  std::vector<std::string> names = UserTables(*db);
  auto at = [&](const std::string& name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
  };
  ASSERT_LT(at("Table10_desc"), static_cast<long>(names.size()));
  EXPECT_EQ(at("Table10_desc"), at("Table10") + 1);
  EXPECT_EQ(at("Table12_desc_desc"), at("Table12_desc_asc") + 1);
  EXPECT_LT(at("Table1"), at("Table2"));
  EXPECT_EQ(names.back(), "Table9_desc");
}

TEST(DatabaseCatalog, SystemTablesCarryTheSystemObjectBitsAndNamesIgnoreCase) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(SamplePath("jet4/testV2000.mdb"));
  int system = 0;
  for (const CatalogEntry& e : db->Tables()) {
    EXPECT_EQ(e.system, e.name.rfind("MSys", 0) == 0) << e.name;
    EXPECT_EQ(e.system, (e.attributes & 0x80000002u) != 0) << e.name;
    system += e.system;
  }
  EXPECT_EQ(system, 5);  // MSysObjects, MSysACEs, MSysQueries, MSysRelationships, MSysAccessObjects
  EXPECT_EQ(db->GetTableDef("tABLE1")->name, "Table1");
  EXPECT_EQ(db->GetTableDef("msysobjects")->name, "MSysObjects");
  EXPECT_EQ(ErrorOf([&] { db->GetTableDef("NoSuchTable"); }), err::kTableNotFound);
  EXPECT_EQ(ErrorOf([&] { db->Scan("NoSuchTable"); }), err::kTableNotFound);
}

// A password, an ACE file, a missing file, a folder, an empty file and one of text.
TEST(DatabaseOpen, RefusesWhatItCannotRead) {
  std::vector<std::pair<std::string, int>> cases = {
      {"/nonexistent/dir/nothing.mdb", err::kFileNotFound},
      {std::filesystem::temp_directory_path().string(), err::kUnrecognizedFormat}};
  if (HaveSamples()) {
    cases.emplace_back(SamplePath("refused/passwordV2000.mdb"), err::kPasswordInvalid);
    cases.emplace_back(SamplePath("refused/testV2007.accdb"), err::kUnrecognizedFormat);
  }
  for (const auto& [path, number] : cases) {
    EXPECT_EQ(ErrorOf([&] { Database::Open(path); }), number) << path;
  }
  EXPECT_EQ(ErrorOf([] { OpenDatabaseFile(NewMemoryFile({}), "leer.mdb"); }),
            err::kUnrecognizedFormat);
  EXPECT_EQ(
      ErrorOf([] { OpenDatabaseFile(NewMemoryFile(std::vector<uint8_t>(8192, 'x')), "text.mdb"); }),
      err::kUnrecognizedFormat);
}

// A few rows as mdb-export prints them, found by their first field. Every value of every sample
// is compared with mdbtools and mdb-reader in tests/oracle/export_oracle_test.cpp; these rows
// need no oracle installed.
TEST(DatabaseValues, RowsOfEveryStoredFormReadAsAccessWroteThem) {
  REQUIRE_SAMPLES();
  auto dec = [](bool negative, int n) { return Value(Decimal{negative, unsigned(n), 18, 0}); };
  // {8E39276A-BCA8-4AC4-891E-49911D8438DD}, the first three groups stored little-endian.
  const Guid guid = {0x6a, 0x27, 0x39, 0x8e, 0xa8, 0xbc, 0xc4, 0x4a,
                     0x89, 0x1e, 0x49, 0x91, 0x1d, 0x84, 0x38, 0xdd};
  // "abcdefg","hijklmnop",2,222,333333333,444.555,"1974-09-21 00:00:00",3.5000,1
  const std::vector<Value> typed = {std::string("abcdefg"), std::string("hijklmnop"), uint8_t{2},
                                    int16_t{222},           int32_t{333333333},       444.555,
                                    DateTime{27293.0},      Currency{35000},          true};
  struct Case {
    const char* file;
    const char* table;
    std::vector<Value> row;
  };
  for (const Case& c : std::vector<Case>{
           {"jet4/testV2000.mdb", "Table1", typed},
           {"jet3/testV1997.mdb", "Table1", typed},
           {"jet4/testUnicodeCompV2003.mdb", "Table", {int32_t{2}, std::string("ääkkösiä")}},
           {"jet4/testUnicodeCompV2003.mdb", "Table", {int32_t{3}, std::string("Мир")}},
           {"jet4/fixedNumericTestV2003.mdb",
            "test",
            {std::string("some data"), dec(false, 1), dec(false, 0), dec(false, 0), dec(false, 4),
             dec(true, 1), dec(false, 1)}},
           {"jet3/testIndexCodesV1997.mdb", "Table13", {std::string("row0"), guid}},
           // Deleted columns leave gaps in the column numbers.
           {"jet4/delColTestV2000.mdb",
            "Table1",
            {int32_t{0}, int32_t{2}, std::string("foo"), std::string("foo2")}}}) {
    SCOPED_TRACE(std::string(c.file) + " " + c.table);
    auto db = Database::Open(SamplePath(c.file));
    const auto rows = AllRows(*db, c.table);
    auto row = std::find_if(rows.begin(), rows.end(), [&](const std::vector<Value>& r) {
      return !r.empty() && r[0] == c.row[0];
    });
    ASSERT_NE(row, rows.end());
    EXPECT_EQ(*row, c.row);
  }
}

TEST(DatabaseIndexes, DefinitionsCarryColumnsOrderAndFlags) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(SamplePath("jet4/testIndexPropertiesV2000.mdb"));
  auto def = db->GetTableDef("TableIgnoreNulls2");
  ASSERT_EQ(def->indexes.size(), 2u);
  const IndexDef& data = def->indexes[0];
  EXPECT_EQ(data.name, "DataIndex");
  ASSERT_EQ(data.columns.size(), 2u);
  EXPECT_EQ(def->columns[data.columns[0].column].name, "data1");
  EXPECT_TRUE(data.ignore_nulls);
  EXPECT_FALSE(data.unique);
  EXPECT_TRUE(def->indexes[1].primary);
  EXPECT_TRUE(db->GetTableDef("TableUnique2_temp")->indexes[0].unique);

  auto jet3 = Database::Open(SamplePath("jet3/testIndexCodesV1997.mdb"));
  const IndexDef& mixed = jet3->GetTableDef("Table12_desc_asc")->indexes[0];
  ASSERT_EQ(mixed.columns.size(), 2u);
  EXPECT_FALSE(mixed.columns[0].ascending);
  EXPECT_TRUE(mixed.columns[1].ascending);

  auto refs = Database::Open(SamplePath("jet3/indexTestV1997.mdb"));
  int foreign = 0;
  for (const IndexDef& i : refs->GetTableDef("Table1")->indexes) foreign += i.foreign_key;
  EXPECT_EQ(foreign, 2);
}

// A copy of `plain` encrypted the way Jet encrypts with a database key: every page but the
// header with RC4 keyed by the key XOR the page number, the key stored in the masked header.
std::vector<uint8_t> EncryptWithDatabaseKey(std::vector<uint8_t> bytes, size_t page_size,
                                            uint32_t key) {
  for (size_t page = 1; page * page_size < bytes.size(); ++page) {
    uint32_t k = key ^ static_cast<uint32_t>(page);
    uint8_t page_key[4] = {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8),
                           static_cast<uint8_t>(k >> 16), static_cast<uint8_t>(k >> 24)};
    Rc4Apply(page_key, std::span<uint8_t>(bytes).subspan(page * page_size, page_size));
  }
  // The masked header holds key XOR key stream; the unencrypted file stores zero there.
  for (int i = 0; i < 4; ++i) bytes[0x3e + i] ^= static_cast<uint8_t>(key >> (8 * i));
  return bytes;
}

TEST(DatabaseOpen, FilesEncryptedWithTheirDatabaseKeyReadLikeThePlainOnes) {
  REQUIRE_SAMPLES();
  for (auto [file, page_size] :
       {std::pair{"jet4/testV2003.mdb", 4096}, std::pair{"jet3/testV1997.mdb", 2048}}) {
    SCOPED_TRACE(file);
    std::vector<uint8_t> plain = testsupport::ReadWholeFile(SamplePath(file));
    auto clear = OpenDatabaseFile(NewMemoryFile(plain), file);
    auto secret = OpenDatabaseFile(
        NewMemoryFile(EncryptWithDatabaseKey(plain, static_cast<size_t>(page_size), 0x5a17c3e9)),
        file);
    ASSERT_EQ(UserTables(*secret), UserTables(*clear));
    for (const std::string& table : UserTables(*clear)) {
      EXPECT_EQ(AllRows(*secret, table), AllRows(*clear, table)) << table;
    }
  }
}

}  // namespace
}  // namespace jet
