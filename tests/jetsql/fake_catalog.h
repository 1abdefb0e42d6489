#ifndef QUORLA_TESTS_JETSQL_FAKE_CATALOG_H_
#define QUORLA_TESTS_JETSQL_FAKE_CATALOG_H_

// Test doubles for the Jet SQL front end: a catalogue of made-up tables, and an in-memory SQLite
// connection where those tables are ordinary tables and every jet_* function of the registry
// exists with a simple stand-in body, so translated SQL can be prepared and run.

#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <strings.h>
#include <cctype>
#include <stdexcept>
#include "jet/database.h"
#include "jet/name_fold.h"
#include "jetsql/binder.h"
#include "jetsql/functions/registry.h"
#include "jetsql/parser.h"

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

// SQLite with the catalogue's tables as temp tables under their virtual-table names, and stub
// jet_* functions: operators compute plainly (no Access typing), others return their first
// argument, aggregates count. The collation jet_general compares ASCII case-insensitively.
class FakeSqlite {
 public:
  explicit FakeSqlite(const FakeCatalog& catalog);
  ~FakeSqlite();
  FakeSqlite(const FakeSqlite&) = delete;
  FakeSqlite& operator=(const FakeSqlite&) = delete;

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

inline int GeneralCollation(void*, int n1, const void* a, int n2, const void* b) {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  for (int i = 0; i < n1 && i < n2; ++i) {
    int cx = std::tolower(x[i]), cy = std::tolower(y[i]);
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}

// Operators: plain arithmetic on values at argv[0] and argv[2].
inline void Operator(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const char* name = static_cast<const char*>(sqlite3_user_data(ctx));
  std::string op = name;
  if (argc >= 3 && (sqlite3_value_type(argv[0]) == SQLITE_NULL ||
                    (argc >= 4 && sqlite3_value_type(argv[2]) == SQLITE_NULL))) {
    if (op == "jet_op_concat") {
      if (sqlite3_value_type(argv[0]) == SQLITE_NULL &&
          sqlite3_value_type(argv[2]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
      } else {
        sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[2] : argv[0]);
      }
      return;
    }
    sqlite3_result_null(ctx);
    return;
  }
  if (op == "jet_op_neg") {
    sqlite3_result_double(ctx, -sqlite3_value_double(argv[0]));
    return;
  }
  if (op == "jet_op_concat") {
    std::string s = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    s += reinterpret_cast<const char*>(sqlite3_value_text(argv[2]));
    sqlite3_result_text(ctx, s.c_str(), -1, SQLITE_TRANSIENT);
    return;
  }
  if (op == "jet_like") {
    // '*' suffix patterns only, case-insensitive: enough for the tests.
    std::string v = Lower(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    std::string p = Lower(reinterpret_cast<const char*>(sqlite3_value_text(argv[2])));
    bool match = !p.empty() && p.back() == '*' ? v.compare(0, p.size() - 1, p, 0, p.size() - 1) == 0
                                               : v == p;
    sqlite3_result_int(ctx, match ? -1 : 0);
    return;
  }
  double a = sqlite3_value_double(argv[0]);
  double b = sqlite3_value_double(argv[2]);
  if (op == "jet_op_add") {
    sqlite3_result_double(ctx, a + b);
  } else if (op == "jet_op_sub") {
    sqlite3_result_double(ctx, a - b);
  } else if (op == "jet_op_mul") {
    sqlite3_result_double(ctx, a * b);
  } else if (op == "jet_op_div") {
    if (b == 0) {
      sqlite3_result_error(ctx, "jet:11:Division durch Null", -1);
      return;
    }
    sqlite3_result_double(ctx, a / b);
  } else if (op == "jet_op_cmp") {
    sqlite3_result_int(ctx, a < b ? -1 : a > b ? 1 : 0);
  } else {
    sqlite3_result_value(ctx, argv[0]);
  }
}

inline void FirstArgument(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc == 0) {
    sqlite3_result_double(ctx, 0);
  } else {
    sqlite3_result_value(ctx, argv[0]);
  }
}

inline void CountStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* n = static_cast<sqlite3_int64*>(sqlite3_aggregate_context(ctx, sizeof(sqlite3_int64)));
  if (n && sqlite3_value_type(argv[0]) != SQLITE_NULL) ++*n;
}
inline void CountFinal(sqlite3_context* ctx) {
  auto* n = static_cast<sqlite3_int64*>(sqlite3_aggregate_context(ctx, 0));
  sqlite3_result_int64(ctx, n ? *n : 0);
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
  tables_[jet::FoldName(table)] = def;
}

inline std::shared_ptr<const jet::TableDef> FakeCatalog::FindTable(const std::string& name) {
  auto it = tables_.find(jet::FoldName(name));
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

inline FakeSqlite::FakeSqlite(const FakeCatalog& catalog) {
  sqlite3_open(":memory:", &db_);
  sqlite3_create_collation(db_, "jet_general", SQLITE_UTF8, nullptr, GeneralCollation);
  for (const auto& f : jetsql::kJetFunctions) {
    void* name = const_cast<char*>(f.name);
    if (f.aggregate) {
      sqlite3_create_function(db_, f.name, f.arity, SQLITE_UTF8, name, nullptr, CountStep,
                              CountFinal);
    } else if (std::string(f.name).rfind("jet_op_", 0) == 0 || std::string(f.name) == "jet_like") {
      sqlite3_create_function(db_, f.name, f.arity, SQLITE_UTF8, name, Operator, nullptr, nullptr);
    } else {
      sqlite3_create_function(db_, f.name, f.arity, SQLITE_UTF8, name, FirstArgument, nullptr,
                              nullptr);
    }
  }
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

inline FakeSqlite::~FakeSqlite() {
  sqlite3_close(db_);
}

inline void FakeSqlite::Exec(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "?";
    sqlite3_free(err);
    throw std::runtime_error(msg + " in " + sql);
  }
}

inline std::string FakeSqlite::Prepare(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
  std::string msg = rc == SQLITE_OK ? "" : sqlite3_errmsg(db_);
  sqlite3_finalize(stmt);
  return msg;
}

inline std::vector<std::vector<std::string>> FakeSqlite::Rows(const std::string& sql) {
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
