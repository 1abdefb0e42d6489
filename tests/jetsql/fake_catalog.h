#ifndef QUORLA_TESTS_JETSQL_FAKE_CATALOG_H_
#define QUORLA_TESTS_JETSQL_FAKE_CATALOG_H_

// Test doubles for the Jet SQL front end: a catalogue of made-up tables, and an in-memory SQLite
// connection with the real Jet functions where those tables are ordinary tables, so translated
// SQL can be prepared and run on rows a test writes.

#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <cctype>
#include <stdexcept>
#include "jet/database.h"
#include "jetsql/binder.h"
#include "jetsql/parser.h"
#include "jetsql/sqlite_bridge.h"

namespace quorla_test {

class FakeCatalog : public jetsql::Catalog {
 public:
  // columns: {name, type}
  void Add(const std::string& table,
           const std::vector<std::pair<std::string, jet::ColumnType>>& columns);
  std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) override;
  const std::map<std::string, std::shared_ptr<jet::TableDef>>& tables() const { return tables_; }

 private:
  std::map<std::string, std::shared_ptr<jet::TableDef>> tables_;  // key: lower-case name
};

// The catalogue most front-end tests use: Kunden, Bestellungen and [Order Details].
FakeCatalog StandardCatalog();

// SQLite with the Jet functions and collation of the runtime, and the catalogue's tables as
// temp tables under their virtual-table names. Rows are written in the storage classes of
// sqlite_bridge.h (Currency as 10,000ths, Decimal as text, dates as days).
class CatalogSqlite {
 public:
  explicit CatalogSqlite(const FakeCatalog& catalog);
  ~CatalogSqlite();
  CatalogSqlite(const CatalogSqlite&) = delete;
  CatalogSqlite& operator=(const CatalogSqlite&) = delete;

  void Exec(const std::string& sql);
  // Prepares sql; returns "" on success or SQLite's message.
  std::string Prepare(const std::string& sql);
  // Runs sql and returns each row as text cells ("NULL" for Null).
  std::vector<std::vector<std::string>> Rows(const std::string& sql);
  sqlite3* db() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Parses and binds against the catalogue.
jetsql::BoundStatement BindSql(const std::string& sql, jetsql::Catalog& catalog);

// ---- implementation ----

namespace fake_detail {

inline std::string Lower(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace fake_detail
using namespace fake_detail;

inline void FakeCatalog::Add(const std::string& table,
                             const std::vector<std::pair<std::string, jet::ColumnType>>& columns) {
  auto def = std::make_shared<jet::TableDef>();
  def->name = table;
  int n = 0;
  for (const auto& [name, type] : columns) {
    jet::ColumnDef c;
    c.name = name;
    c.type = type;
    c.column_number = n++;
    def->columns.push_back(c);
  }
  tables_[Lower(table)] = def;
}

inline std::shared_ptr<const jet::TableDef> FakeCatalog::FindTable(const std::string& name) {
  auto it = tables_.find(Lower(name));
  return it == tables_.end() ? nullptr : it->second;
}

inline FakeCatalog StandardCatalog() {
  using CT = jet::ColumnType;
  FakeCatalog c;
  c.Add("Kunden", {{"KundenID", CT::kLong},
                   {"Name", CT::kText},
                   {"Ort", CT::kText},
                   {"Aktiv", CT::kBoolean},
                   {"Rabatt", CT::kDouble},
                   {"Seit", CT::kDateTime},
                   {"Notiz", CT::kMemo}});
  c.Add("Bestellungen", {{"BestellID", CT::kLong},
                         {"KundenID", CT::kLong},
                         {"Betrag", CT::kCurrency},
                         {"Datum", CT::kDateTime},
                         {"Menge", CT::kInteger},
                         {"Genau", CT::kNumeric}});
  c.Add("Order Details", {{"ID", CT::kLong}, {"Product Name", CT::kText}, {"Bild", CT::kOle}});
  return c;
}

inline CatalogSqlite::CatalogSqlite(const FakeCatalog& catalog) {
  sqlite3_open(":memory:", &db_);
  jetsql::RegisterJetFunctions(db_);
  for (const auto& [key, def] : catalog.tables()) {
    std::string sql = "CREATE TEMP TABLE " + jetsql::VirtualTableName(def->name) + " (";
    for (size_t i = 0; i < def->columns.size(); ++i) {
      const auto& col = def->columns[i];
      sql += (i ? ", " : "") + jetsql::QuoteIdentifier(col.name);
      if (col.type == jet::ColumnType::kText || col.type == jet::ColumnType::kMemo) {
        sql += " TEXT COLLATE jet_general";
      }
    }
    Exec(sql + ")");
  }
}

inline CatalogSqlite::~CatalogSqlite() {
  sqlite3_close(db_);
}

inline void CatalogSqlite::Exec(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "?";
    sqlite3_free(err);
    throw std::runtime_error(msg + " in " + sql);
  }
}

inline std::string CatalogSqlite::Prepare(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
  std::string msg = rc == SQLITE_OK ? "" : sqlite3_errmsg(db_);
  sqlite3_finalize(stmt);
  return msg;
}

inline std::vector<std::vector<std::string>> CatalogSqlite::Rows(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
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
  std::string msg = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
  sqlite3_finalize(stmt);
  if (!msg.empty()) throw std::runtime_error(msg + " in " + sql);
  return rows;
}

inline jetsql::BoundStatement BindSql(const std::string& sql, jetsql::Catalog& catalog) {
  jetsql::Statement stmt = jetsql::Parse(sql);
  return jetsql::Bind(stmt, catalog);
}

}  // namespace quorla_test

#endif  // QUORLA_TESTS_JETSQL_FAKE_CATALOG_H_
