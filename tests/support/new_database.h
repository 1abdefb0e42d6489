#ifndef QUORLA_TESTS_SUPPORT_NEW_DATABASE_H_
#define QUORLA_TESTS_SUPPORT_NEW_DATABASE_H_

// Tests of the SQL layer on the real engine: a new, empty Jet 4 file in a temporary folder (as
// quorla-sql --create makes it), open for writing, with a Jet SQL session on it whose CREATE TABLE
// and INSERT statements make the tables a test needs. DatabaseSqlite puts the same file behind
// an SQLite connection of its own, to run the binder's SQL by itself.
//
// Header-only: the support folder is built into every test program, and only some link jetsql.

#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/database_creator.h"
#include "jetsql/binder.h"
#include "jetsql/callback_error.h"
#include "jetsql/session.h"
#include "jetsql/sqlite_bridge.h"
#include "support/temp_dir.h"

namespace testsupport {

class NewDatabase {
 public:
  // Creates the file and runs each of `statements` on it.
  explicit NewDatabase(const std::vector<std::string>& statements = {})
      : path_(dir_.File("neu.mdb")) {
    jet::CreateDatabase(path_);
    db_ = jet::Database::OpenForWriting(path_);
    session_ = std::make_unique<jetsql::Session>(db_);
    for (const std::string& sql : statements) session_->Execute(sql);
  }

  const std::string& path() const { return path_; }
  jet::Database& db() { return *db_; }
  const std::shared_ptr<jet::Database>& shared() const { return db_; }
  jetsql::Session& session() { return *session_; }

  int64_t Execute(const std::string& sql) { return session_->Execute(sql); }
  std::vector<std::vector<jet::Value>> Rows(const std::string& sql) {
    return session_->Query(sql).rows;
  }

 private:
  TempDir dir_;
  std::string path_;
  std::shared_ptr<jet::Database> db_;
  std::unique_ptr<jetsql::Session> session_;
};

// SQLite with the Jet functions and the "jet" module over `db`: each user table of the database
// (when it is made) is a virtual table under its VirtualTableName, in the storage classes of
// sqlite_bridge.h (Currency as 10,000ths, Decimal as text, dates as days).
class DatabaseSqlite {
 public:
  explicit DatabaseSqlite(jet::Database& db) {
    sqlite3_open(":memory:", &sqlite_);
    jetsql::RegisterJetFunctions(sqlite_, &pending_);
    jetsql::RegisterJetModule(sqlite_, &db, &pending_);
    for (const jet::CatalogEntry& t : db.Tables()) {
      if (t.system) continue;
      Exec("CREATE VIRTUAL TABLE temp." + jetsql::VirtualTableName(t.name) + " USING jet(" +
           jetsql::QuoteIdentifier(t.name) + ")");
    }
  }
  ~DatabaseSqlite() { sqlite3_close(sqlite_); }
  DatabaseSqlite(const DatabaseSqlite&) = delete;
  DatabaseSqlite& operator=(const DatabaseSqlite&) = delete;

  void Exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(sqlite_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      std::string msg = err ? err : "?";
      sqlite3_free(err);
      throw std::runtime_error(msg + " in " + sql);
    }
  }
  // Prepares sql; returns "" on success or SQLite's message.
  std::string Prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(sqlite_, sql.c_str(), -1, &stmt, nullptr);
    std::string msg = rc == SQLITE_OK ? "" : sqlite3_errmsg(sqlite_);
    sqlite3_finalize(stmt);
    return msg;
  }
  // Runs sql and returns each row as text cells ("NULL" for Null).
  std::vector<std::vector<std::string>> Rows(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(sqlite_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string(sqlite3_errmsg(sqlite_)) + " in " + sql);
    }
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const unsigned char* t = sqlite3_column_text(stmt, i);
        row.push_back(t ? reinterpret_cast<const char*>(t) : "NULL");
      }
      rows.push_back(std::move(row));
    }
    std::string msg = rc == SQLITE_DONE ? "" : sqlite3_errmsg(sqlite_);
    sqlite3_finalize(stmt);
    if (!msg.empty()) throw std::runtime_error(msg + " in " + sql);
    return rows;
  }
  sqlite3* get() const { return sqlite_; }
  jetsql::PendingError& pending() { return pending_; }

 private:
  sqlite3* sqlite_ = nullptr;
  jetsql::PendingError pending_;
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_NEW_DATABASE_H_
