// The engine against the real Access sample files: catalogue, definitions, values, refusals.

#include "jet/database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "jet/database_file.h"
#include "jet/memory_file.h"
#include "jet/rc4.h"
#include "support/catalogue_order.h"
#include "support/jet_samples.h"
#include "support/process.h"

namespace jet {
namespace {

using quorla_test::JetSampleFiles;
using quorla_test::JetSamplesDir;

#define REQUIRE_SAMPLES() \
  if (JetSamplesDir().empty()) GTEST_SKIP() << "Jet sample files are not present"

std::string Sample(const std::string& relative) {
  return JetSamplesDir() + "/" + relative;
}

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

int ErrorNumber(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

// mdb-tables lists the catalogue rows as stored; the engine lists them in the order of the
// catalogue's name index.
TEST(DatabaseCatalog, UserTablesAreMdbToolsListInNameOrderForEverySample) {
  REQUIRE_SAMPLES();
  if (!testsupport::HaveProgram("mdb-tables")) GTEST_SKIP() << "mdb-tables is not installed";
  std::vector<std::string> files = JetSampleFiles("jet3");
  for (const std::string& f : JetSampleFiles("jet4")) files.push_back(f);
  ASSERT_FALSE(files.empty());
  int reordered = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    auto listed = testsupport::OutputOf({"mdb-tables", "-1", file});
    ASSERT_TRUE(listed.has_value());
    std::vector<std::string> stored;
    std::istringstream in(*listed);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) stored.push_back(line);
    }
    auto db = Database::Open(file);
    std::vector<std::string> expected =
        testsupport::InCatalogueOrder(stored, db->version() == JetVersion::kJet3);
    EXPECT_EQ(UserTables(*db), expected);
    if (expected != stored) ++reordered;
  }
  // testIndexCodesV1997.mdb stores Table10_desc and Table12_desc_desc after all the others.
  EXPECT_GE(reordered, 1);
}

TEST(DatabaseCatalog, NameOrderPutsLaterTablesAmongTheOthers) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet3/testIndexCodesV1997.mdb"));
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

TEST(DatabaseCatalog, SystemTablesCarryTheSystemObjectBits) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet4/testV2000.mdb"));
  EXPECT_EQ(db->version(), JetVersion::kJet4);
  int system = 0;
  for (const CatalogEntry& e : db->Tables()) {
    EXPECT_EQ(e.system, e.name.rfind("MSys", 0) == 0) << e.name;
    EXPECT_EQ(e.system, (e.attributes & 0x80000002u) != 0) << e.name;
    EXPECT_FALSE(e.linked);
    system += e.system;
  }
  EXPECT_EQ(system, 5);  // MSysObjects, MSysACEs, MSysQueries, MSysRelationships, MSysAccessObjects
}

TEST(DatabaseCatalog, TableNamesCompareWithoutCaseAndUnknownNamesAre3078) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet4/testV2000.mdb"));
  EXPECT_EQ(db->GetTableDef("tABLE1")->name, "Table1");
  EXPECT_EQ(db->GetTableDef("msysobjects")->name, "MSysObjects");
  EXPECT_EQ(ErrorNumber([&] { db->GetTableDef("NoSuchTable"); }), err::kTableNotFound);
  EXPECT_EQ(ErrorNumber([&] { db->Scan("NoSuchTable"); }), err::kTableNotFound);
}

// A password, an ACE file, a missing file, a folder, an empty file and one of text.
TEST(DatabaseOpen, RefusesWhatItCannotRead) {
  struct Case {
    std::string path;
    int number;
    std::string description;  // empty: not checked
  };
  std::vector<Case> cases = {
      {"/nonexistent/dir/nothing.mdb", err::kFileNotFound,
       "Datei '/nonexistent/dir/nothing.mdb' nicht gefunden."},
      {std::filesystem::temp_directory_path().string(), err::kUnrecognizedFormat, ""}};
  if (!JetSamplesDir().empty()) {
    cases.push_back({Sample("refused/passwordV2000.mdb"), err::kPasswordInvalid, ""});
    cases.push_back(
        {Sample("refused/testV2007.accdb"), err::kUnrecognizedFormat,
         "Nicht erkanntes Datenbankformat '" + Sample("refused/testV2007.accdb") + "'."});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      Database::Open(c.path);
      ADD_FAILURE() << "opened";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.number);
      if (!c.description.empty()) {
        EXPECT_EQ(e.description(), c.description);
      }
    }
  }
  EXPECT_EQ(ErrorNumber([] { OpenDatabaseFile(NewMemoryFile({}), "leer.mdb"); }),
            err::kUnrecognizedFormat);
  EXPECT_EQ(ErrorNumber([] {
              OpenDatabaseFile(NewMemoryFile(std::vector<uint8_t>(8192, 'x')), "text.mdb");
            }),
            err::kUnrecognizedFormat);
}

TEST(DatabaseValues, Jet4AndJet3DecodeTheSameTypedRow) {
  REQUIRE_SAMPLES();
  for (const char* file : {"jet4/testV2000.mdb", "jet3/testV1997.mdb"}) {
    SCOPED_TRACE(file);
    auto db = Database::Open(Sample(file));
    auto def = db->GetTableDef("Table1");
    ASSERT_EQ(def->columns.size(), 9u);
    EXPECT_EQ(def->columns[0].name, "A");
    EXPECT_EQ(def->columns[8].type, ColumnType::kBoolean);
    EXPECT_EQ(def->columns[1].size, file[3] == '4' ? 200 : 100);  // bytes: UCS-2 vs code page
    auto rows = AllRows(*db, "Table1");
    ASSERT_EQ(rows.size(), 2u);
    // mdb-export: "abcdefg","hijklmnop",2,222,333333333,444.555,"1974-09-21 00:00:00",3.5000,1
    const auto& r = rows[0][0] == Value(std::string("abcdefg")) ? rows[0] : rows[1];
    EXPECT_EQ(r[0], Value(std::string("abcdefg")));
    EXPECT_EQ(r[1], Value(std::string("hijklmnop")));
    EXPECT_EQ(r[2], Value(uint8_t{2}));
    EXPECT_EQ(r[3], Value(int16_t{222}));
    EXPECT_EQ(r[4], Value(int32_t{333333333}));
    EXPECT_EQ(r[5], Value(444.555));
    EXPECT_EQ(r[6], Value(DateTime{27293.0}));  // 1974-09-21
    EXPECT_EQ(r[7], Value(Currency{35000}));
    EXPECT_EQ(r[8], Value(true));
  }
}

TEST(DatabaseValues, CompressedUnicodeTextBecomesUtf8) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet4/testUnicodeCompV2003.mdb"));
  auto def = db->GetTableDef("Table");
  EXPECT_TRUE(def->columns[1].compressed_unicode);
  auto rows = AllRows(*db, "Table");
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0][1], Value(std::string("only ascii chars")));
  EXPECT_EQ(rows[1][1], Value(std::string("ääkkösiä")));
  EXPECT_EQ(rows[2][1], Value(std::string("Мир")));
}

TEST(DatabaseValues, DecimalGuidAndNegativeDates) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet4/fixedNumericTestV2003.mdb"));
  auto def = db->GetTableDef("test");
  EXPECT_EQ(def->columns[1].type, ColumnType::kNumeric);
  EXPECT_EQ(def->columns[1].precision, 18);
  EXPECT_EQ(def->columns[1].scale, 0);
  auto rows = AllRows(*db, "test");
  ASSERT_EQ(rows.size(), 1u);  // "some data",1,0,0,4,-1,1
  EXPECT_EQ(rows[0][0], Value(std::string("some data")));
  EXPECT_EQ(rows[0][1], Value(Decimal{false, 1, 18, 0}));
  EXPECT_EQ(rows[0][4], Value(Decimal{false, 4, 18, 0}));
  EXPECT_EQ(rows[0][5], Value(Decimal{true, 1, 18, 0}));

  auto jet3 = Database::Open(Sample("jet3/testIndexCodesV1997.mdb"));
  bool found_guid = false;
  for (const auto& row : AllRows(*jet3, "Table13")) {
    if (row[0] == Value(std::string("row0"))) {
      // {8E39276A-BCA8-4AC4-891E-49911D8438DD}, the first three groups stored little-endian.
      Guid expected = {0x6a, 0x27, 0x39, 0x8e, 0xa8, 0xbc, 0xc4, 0x4a,
                       0x89, 0x1e, 0x49, 0x91, 0x1d, 0x84, 0x38, 0xdd};
      EXPECT_EQ(row[1], Value(expected));
      found_guid = true;
    }
  }
  EXPECT_TRUE(found_guid);
  int negative = 0;
  for (const auto& row : AllRows(*jet3, "Table6")) {
    if (const auto* d = std::get_if<DateTime>(&row[1]); d && d->days < 0) ++negative;
  }
  EXPECT_GT(negative, 0);  // dates before 1899-12-30 come back as stored
}

TEST(DatabaseValues, LongMemosUmlautsAndNullsOfTheBenchmarkFile) {
  REQUIRE_SAMPLES();
  std::string file = Sample("bench/orders-100k.mdb");
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "benchmark file absent";
  auto db = Database::Open(file);
  auto def = db->GetTableDef("ORDERS");
  ASSERT_EQ(def->columns.size(), 10u);
  EXPECT_TRUE(def->columns[0].autonumber);
  ASSERT_EQ(def->indexes.size(), 3u);
  EXPECT_TRUE(def->indexes[0].primary);
  EXPECT_EQ(def->indexes[1].name, "idxKunde");
  EXPECT_NE(def->indexes[1].root_page, 0u);
  size_t rows = 0, long_memos = 0, null_memos = 0, umlauts = 0;
  for (auto c = db->Scan("orders"); c->Valid(); c->Next(), ++rows) {
    Value memo = c->value(9);
    if (IsNull(memo)) ++null_memos;
    if (auto* s = std::get_if<std::string>(&memo); s && s->size() > 4096) ++long_memos;
    if (auto* s = std::get_if<std::string>(&(memo = c->value(5)));
        s && s->find("ä") != std::string::npos) {
      ++umlauts;
    }
  }
  EXPECT_EQ(rows, 100000u);
  EXPECT_GT(long_memos, 0u);
  EXPECT_GT(null_memos, 0u);
  EXPECT_GT(umlauts, 0u);
}

TEST(DatabaseRows, DefinitionsSpreadOverSeveralPagesKeepEveryColumn) {
  REQUIRE_SAMPLES();
  for (const char* file : {"jet4/testV2000.mdb", "jet3/testV1997.mdb"}) {
    SCOPED_TRACE(file);
    auto db = Database::Open(Sample(file));
    auto def = db->GetTableDef("Table2");
    ASSERT_EQ(def->columns.size(), 89u);
    for (size_t i = 0; i < def->columns.size(); ++i) {
      EXPECT_EQ(def->columns[i].name, "column" + std::to_string(i + 1));
    }
  }
}

TEST(DatabaseRows, DeletedColumnsLeaveGapsInColumnNumbers) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet4/delColTestV2000.mdb"));
  auto def = db->GetTableDef("Table1");
  std::vector<std::string> names;
  bool gap = false;
  for (size_t i = 0; i < def->columns.size(); ++i) {
    names.push_back(def->columns[i].name);
    if (i > 0 && def->columns[i].column_number != def->columns[i - 1].column_number + 1) {
      gap = true;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"id", "id2", "data", "data2"}));
  EXPECT_TRUE(gap);
  auto rows = AllRows(*db, "Table1");
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0][0], Value(int32_t{0}));  // 0,2,"foo","foo2"
  EXPECT_EQ(rows[0][3], Value(std::string("foo2")));
}

TEST(DatabaseIndexes, DefinitionsCarryColumnsOrderAndFlags) {
  REQUIRE_SAMPLES();
  auto db = Database::Open(Sample("jet4/testIndexPropertiesV2000.mdb"));
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

  auto jet3 = Database::Open(Sample("jet3/testIndexCodesV1997.mdb"));
  const IndexDef& mixed = jet3->GetTableDef("Table12_desc_asc")->indexes[0];
  ASSERT_EQ(mixed.columns.size(), 2u);
  EXPECT_FALSE(mixed.columns[0].ascending);
  EXPECT_TRUE(mixed.columns[1].ascending);

  auto refs = Database::Open(Sample("jet3/indexTestV1997.mdb"));
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
    std::vector<uint8_t> plain = quorla_test::ReadWholeFile(Sample(file));
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
