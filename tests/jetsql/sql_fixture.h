#ifndef QUORLA_TESTS_JETSQL_SQL_FIXTURE_H_
#define QUORLA_TESTS_JETSQL_SQL_FIXTURE_H_

// An in-memory SQLite connection with the Jet functions registered, and a one-line evaluator:
// Eval("jet_len('abc', 10)") gives the result as text ("3"), "NULL", or the error the call raised
// as "error: jet:<number>:<description>".
// Type codes as the binder writes them after each argument.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <optional>
#include <string>

#include "jetsql/sqlite_bridge.h"

namespace jetsql::testing {

// jet::ColumnType codes, for writing calls in tests.
inline constexpr int kBool = 1, kByte = 2, kInt = 3, kLong = 4, kCur = 5, kSng = 6, kDbl = 7,
                     kDate = 8, kText = 10, kDec = 16;

class SqlFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    RegisterJetFunctions(db_, &pending_);
  }
  void TearDown() override { sqlite3_close(db_); }

  void Exec(const std::string& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    ASSERT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql;
  }

  // Runs "SELECT <expr>" (or a whole statement if it starts with SELECT) and renders the first
  // column of the first row.
  std::string Eval(const std::string& expr) {
    std::string sql = expr.rfind("SELECT", 0) == 0 ? expr : "SELECT " + expr;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      return std::string("prepare: ") + sqlite3_errmsg(db_);
    }
    std::string out;
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
      out = Render(sqlite3_column_value(stmt, 0));
    } else if (rc == SQLITE_DONE) {
      out = "no row";
    } else if (std::optional<jet::Error> e = pending_.Take()) {
      out = "error: jet:" + std::to_string(e->number()) + ":" + e->description();
    } else {
      out = std::string("error: ") + sqlite3_errmsg(db_);
    }
    sqlite3_finalize(stmt);
    return out;
  }

  static std::string Render(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
      case SQLITE_NULL:
        return "NULL";
      case SQLITE_INTEGER:
        return std::to_string(sqlite3_value_int64(v));
      case SQLITE_FLOAT: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(v));
        return buf;
      }
      default:
        return reinterpret_cast<const char*>(sqlite3_value_text(v));
    }
  }

  sqlite3* db_ = nullptr;
  PendingError pending_;
};

}  // namespace jetsql::testing

#endif  // QUORLA_TESTS_JETSQL_SQL_FIXTURE_H_
