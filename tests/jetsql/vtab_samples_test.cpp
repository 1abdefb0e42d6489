// The "jet" virtual table over the real engine and the sample files: row counts agree with
// mdbtools, and lookups that may walk an index find exactly the rows a plain scan finds.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "jet/database.h"
#include "jetsql/sqlite_bridge.h"
#include "support/jet_samples.h"
#include "support/process.h"

namespace jetsql::testing {
namespace {

using testsupport::HaveProgram;
using testsupport::OutputOf;
using testsupport::SamplePath;

std::string Quoted(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

// The first column of the first row of `sql`, as text, with `arg` bound to its parameter.
std::string TextOf(sqlite3* db, const std::string& sql, sqlite3_value* arg = nullptr) {
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db) << " in " << sql;
  if (arg) sqlite3_bind_value(stmt, 1, arg);
  std::string out;
  int rc = sqlite3_step(stmt);
  EXPECT_EQ(rc, SQLITE_ROW) << sqlite3_errmsg(db) << " in " << sql;
  if (rc == SQLITE_ROW && sqlite3_column_text(stmt, 0)) {
    out = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  }
  sqlite3_finalize(stmt);
  return out;
}

int64_t CountOf(sqlite3* db, const std::string& sql, sqlite3_value* arg = nullptr) {
  std::string n = TextOf(db, sql, arg);
  return n.empty() ? -1 : std::stoll(n);
}

// A range walk reading one other column of each row gives that column's values as a scan does.
void CheckColumnsThroughRange(sqlite3* db, const jet::TableDef& def, const std::string& vt,
                              const std::string& c, sqlite3_value* v) {
  for (const jet::ColumnDef& other : def.columns) {
    std::string o = Quoted(other.name);
    std::string sum =
        "SELECT count(" + o + ") || ':' || total(length(quote(" + o + "))) FROM " + vt + " WHERE ";
    EXPECT_EQ(TextOf(db, sum + c + " >= ?", v), TextOf(db, sum + "+" + c + " >= ?", v))
        << other.name << " through " << c;
  }
}

struct Connection {
  sqlite3* db = nullptr;
  Connection() {
    sqlite3_open(":memory:", &db);
    RegisterJetFunctions(db);
  }
  ~Connection() { sqlite3_close(db); }
};

void CheckTable(jet::Database& database, sqlite3* db, const std::string& file,
                const std::string& table, int number) {
  SCOPED_TRACE(file + " / " + table);
  std::string vt = "t" + std::to_string(number);
  std::string create = "CREATE VIRTUAL TABLE temp." + vt + " USING jet(" + Quoted(table) + ")";
  char* err = nullptr;
  ASSERT_EQ(sqlite3_exec(db, create.c_str(), nullptr, nullptr, &err), SQLITE_OK)
      << (err ? err : "");
  int64_t rows = CountOf(db, "SELECT count(*) FROM " + vt);
  if (HaveProgram("mdb-count")) {
    auto out = OutputOf({"mdb-count", file, table});
    if (out) {
      EXPECT_EQ(rows, std::stoll(*out));
    }
  }
  auto def = database.GetTableDef(table);
  for (const jet::IndexDef& index : def->indexes) {
    if (index.columns.empty()) continue;
    const jet::ColumnDef& col = def->columns[static_cast<size_t>(index.columns[0].column)];
    std::string c = Quoted(col.name);
    sqlite3_stmt* values = nullptr;
    std::string pick =
        "SELECT DISTINCT " + c + " FROM " + vt + " WHERE " + c + " IS NOT NULL LIMIT 8";
    ASSERT_EQ(sqlite3_prepare_v2(db, pick.c_str(), -1, &values, nullptr), SQLITE_OK);
    bool first = true;
    while (sqlite3_step(values) == SQLITE_ROW) {
      sqlite3_value* v = sqlite3_column_value(values, 0);
      if (first) CheckColumnsThroughRange(db, *def, vt, c, v);
      first = false;
      int64_t by_index = CountOf(db, "SELECT count(*) FROM " + vt + " WHERE " + c + " = ?", v);
      int64_t by_scan = CountOf(db, "SELECT count(*) FROM " + vt + " WHERE +" + c + " = ?", v);
      EXPECT_EQ(by_index, by_scan) << index.name << " on " << col.name;
      EXPECT_GE(by_index, 1);
      int64_t range = CountOf(db, "SELECT count(*) FROM " + vt + " WHERE " + c + " >= ?", v);
      int64_t range_scan = CountOf(db, "SELECT count(*) FROM " + vt + " WHERE +" + c + " >= ?", v);
      EXPECT_EQ(range, range_scan) << index.name << " on " << col.name;
    }
    sqlite3_finalize(values);
  }
}

TEST(VtabSamplesTest, CountsMatchMdbtoolsAndLookupsMatchScans) {
  REQUIRE_SAMPLES();
  int checked = 0;
  for (const testsupport::SampleFile& sample : testsupport::SampleFiles({"jet4", "jet3"})) {
    const std::string& file = sample.path;
    std::unique_ptr<jet::Database> database;
    try {
      database = jet::Database::Open(file);
    } catch (const jet::Error&) {
      continue;  // files the engine refuses have their own tests
    }
    Connection conn;
    RegisterJetModule(conn.db, database.get());
    int number = 0;
    for (const jet::CatalogEntry& entry : database->Tables()) {
      if (entry.system || entry.linked) continue;
      CheckTable(*database, conn.db, file, entry.name, number++);
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}

}  // namespace
}  // namespace jetsql::testing
