#include "jetsql/session.h"

#include <sqlite3.h>

#include <cstdio>
#include <optional>
#include <set>

#include "jet/name_fold.h"
#include "jetsql/binder.h"
#include "jetsql/callback_error.h"
#include "jetsql/ddl/execute_ddl.h"
#include "jetsql/dml/apply_data_change.h"
#include "jetsql/dml/bind_data_change.h"
#include "jetsql/dml/make_table.h"
#include "jetsql/errors.h"
#include "jetsql/functions/registry.h"
#include "jetsql/open_for_changes.h"
#include "jetsql/parser.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/sqlite_errors.h"

namespace jetsql {
namespace {

// Throws the error of a failed SQLite call: the one our callbacks kept, else SQLite's own.
[[noreturn]] void ThrowFailure(PendingError& pending, const std::string& sqlite_message) {
  if (std::optional<jet::Error> e = pending.Take()) throw *e;
  throw SqliteError(sqlite_message);
}

std::string QuoteText(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}

// The value of a probe row as a SQLite literal.
std::string Literal(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_value_int64(v));
    case SQLITE_FLOAT: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", sqlite3_value_double(v));
      std::string s = buf;
      if (s.find_first_of(".eEni") == std::string::npos) s += ".0";
      return s;
    }
    case SQLITE_TEXT:
      return QuoteText(reinterpret_cast<const char*>(sqlite3_value_text(v)));
    case SQLITE_BLOB: {
      static const char* kHex = "0123456789abcdef";
      const auto* p = static_cast<const unsigned char*>(sqlite3_value_blob(v));
      std::string r = "X'";
      for (int i = 0; i < sqlite3_value_bytes(v); ++i) {
        r += kHex[p[i] >> 4];
        r += kHex[p[i] & 15];
      }
      return r + "'";
    }
    default:
      return "NULL";
  }
}

class Statement3 {
 public:
  Statement3(sqlite3* db, PendingError& pending, const std::string& sql)
      : db_(db), pending_(pending) {
    pending_.Take();
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
      std::string msg = sqlite3_errmsg(db);
      sqlite3_finalize(stmt_);
      stmt_ = nullptr;
      ThrowFailure(pending_, msg);
    }
  }
  ~Statement3() { sqlite3_finalize(stmt_); }
  Statement3(const Statement3&) = delete;
  Statement3& operator=(const Statement3&) = delete;

  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowFailure(pending_, sqlite3_errmsg(db_));
  }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3* db_;
  PendingError& pending_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace

struct Session::Connection {
  sqlite3* db = nullptr;
  PendingError pending;  // errors of our callbacks, until the failed call rethrows them
  std::set<std::string> virtual_tables;
  ~Connection() { sqlite3_close(db); }

  void Exec(const std::string& sql) {
    char* err = nullptr;
    pending.Take();
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      std::string msg = err ? err : sqlite3_errmsg(db);
      sqlite3_free(err);
      ThrowFailure(pending, msg);
    }
  }

  void DropVirtualTables() {
    for (const std::string& vtab : virtual_tables) {
      sqlite3_exec(db, ("DROP TABLE IF EXISTS temp." + vtab).c_str(), nullptr, nullptr, nullptr);
    }
    virtual_tables.clear();
  }

  void EnsureTables(const std::vector<VirtualTableUse>& uses) {
    for (const auto& use : uses) {
      if (virtual_tables.count(use.vtab)) continue;
      Exec("CREATE VIRTUAL TABLE temp." + use.vtab + " USING jet(" + QuoteIdentifier(use.table) +
           (use.database.empty() ? "" : ", " + QuoteIdentifier(use.database)) + ")");
      virtual_tables.insert(use.vtab);
    }
  }
};

namespace {

std::shared_ptr<jet::Database> OpenDatabase(const std::string& path, Session::Mode mode) {
  if (mode == Session::Mode::kReadWrite) return OpenForChanges(path);
  return jet::Database::Open(path);
}

}  // namespace

Session::Session(const std::string& path, Mode mode) : Session(OpenDatabase(path, mode)) {}

Session::Session(std::shared_ptr<jet::Database> db)
    : db_(std::move(db)), sqlite_(std::make_unique<Connection>()) {
  if (sqlite3_open_v2(":memory:", &sqlite_->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    throw errors::Reserved("SQLite lässt sich nicht öffnen");
  }
  RegisterJetModule(sqlite_->db, db_.get(), &sqlite_->pending);
  RegisterJetFunctions(sqlite_->db, &sqlite_->pending);
}

Session::~Session() = default;

namespace {

class RecordSetSink : public RowSink {
 public:
  explicit RecordSetSink(RecordSet& rs) : rs_(rs) {}
  void Fields(const std::vector<std::string>& names,
              const std::vector<jet::ColumnType>& types) override {
    rs_.field_names = names;
    rs_.field_types = types;
  }
  void Row(std::vector<jet::Value>& row) override { rs_.rows.push_back(std::move(row)); }

 private:
  RecordSet& rs_;
};

}  // namespace

void Session::SetCancelCheck(CancelCheck cancelled) {
  cancelled_ = std::move(cancelled);
  // SQLite counts virtual machine steps; a few thousand of them take well under a millisecond.
  constexpr int kStepsBetweenChecks = 4000;
  sqlite3_progress_handler(sqlite_->db, cancelled_ ? kStepsBetweenChecks : 0,
                           cancelled_ ? &Session::OnProgress : nullptr, this);
}

int Session::OnProgress(void* session) {
  auto* self = static_cast<Session*>(session);
  try {
    if (!self->cancelled_()) return 0;
    self->sqlite_->pending.Keep(errors::CancelledByUser());
  } catch (...) {
    self->sqlite_->pending.Keep(CurrentError());
  }
  return 1;  // SQLite ends the statement as interrupted; the pending error says why
}

RecordSet Session::Query(const std::string& sql) {
  RecordSet rs;
  RecordSetSink sink(rs);
  Query(sql, sink);
  return rs;
}

void Session::Query(const std::string& sql, RowSink& sink) {
  jetsql::Statement stmt = Parse(sql);
  // Another process's commit is seen whole or not at all while the statement reads.
  jet::ReadScope read_scope(*db_);
  DatabaseCatalog catalog(
      db_.get(), [this](const std::string& probe_sql, const std::vector<VirtualTableUse>& tables) {
        sqlite_->EnsureTables(tables);
        return ProbePivot(probe_sql);
      });
  BoundStatement bound = Bind(stmt, catalog);
  if (!bound.returns_rows) {
    throw errors::NotRowReturning();
  }
  sqlite_->EnsureTables(bound.tables);
  if (!bound.pivot_probe_sql.empty()) {
    std::vector<PivotValue> values = ProbePivot(bound.pivot_probe_sql);
    bound = Bind(stmt, catalog, &values);
    sqlite_->EnsureTables(bound.tables);
  }
  sink.Fields(bound.field_names, bound.field_types);
  ReadRows(bound.sql, bound.field_types, sink);
}

std::vector<PivotValue> Session::ProbePivot(const std::string& sql) {
  std::vector<PivotValue> values;
  Statement3 probe(sqlite_->db, sqlite_->pending, sql);
  while (probe.Step()) {
    PivotValue v;
    v.literal_sql = Literal(sqlite3_column_value(probe.get(), 0));
    const unsigned char* name = sqlite3_column_text(probe.get(), 1);
    v.name = name ? reinterpret_cast<const char*>(name) : "<>";
    values.push_back(std::move(v));
  }
  return values;
}

std::vector<std::vector<jet::Value>> Session::ReadAllRows(
    const std::string& sql, const std::vector<jet::ColumnType>& types) {
  RecordSet rs;
  RecordSetSink sink(rs);
  ReadRows(sql, types, sink);
  return std::move(rs.rows);
}

void Session::ReadRows(const std::string& sql, const std::vector<jet::ColumnType>& types,
                       RowSink& sink) {
  Statement3 query(sqlite_->db, sqlite_->pending, sql);
  const size_t columns = types.size();
  std::vector<jet::Value> row;
  while (query.Step()) {
    row.clear();
    row.reserve(columns);
    for (size_t i = 0; i < columns; ++i) {
      row.push_back(ReadJetValue(sqlite3_column_value(query.get(), static_cast<int>(i)), types[i]));
    }
    sink.Row(row);
  }
}

int64_t Session::ExecuteMakeTable(Statement stmt, const std::string& table) {
  if (stmt.query->arms.size() != 1 || stmt.transform) {
    throw errors::OperationNotSupported("SELECT ... INTO");
  }
  SelectQuery& select = *stmt.query->arms.front();
  std::shared_ptr<jet::Database> target = MakeTableDatabase(db_, select.into_database);
  for (const jet::CatalogEntry& e : target->Tables()) {
    if (jet::SameName(e.name, table)) throw errors::TableExists(table);
  }
  select.into.clear();
  stmt.kind = Statement::Kind::kQuery;
  DatabaseCatalog catalog(db_.get());
  BoundStatement bound = Bind(stmt, catalog);
  sqlite_->EnsureTables(bound.tables);
  jet::NewTable plan = PlanMakeTable(table, select, bound.field_names, bound.field_types, catalog);
  std::vector<std::vector<jet::Value>> rows;
  if (target != db_) {
    // The rows come from this file, the table goes into the other one, committed there alone.
    jet::ReadScope read_scope(*db_);
    rows = ReadAllRows(bound.sql, bound.field_types);
  }
  target->BeginStatement();
  try {
    if (target == db_) rows = ReadAllRows(bound.sql, bound.field_types);
    target->CreateTable(plan);
    for (std::vector<jet::Value>& row : rows) target->InsertRow(table, std::move(row));
    target->CommitStatement();
  } catch (...) {
    target->RollbackStatement();
    throw;
  }
  // The new table is not among the virtual tables made so far; they stay as they are.
  return static_cast<int64_t>(rows.size());
}

int64_t Session::Execute(const std::string& sql) {
  jetsql::Statement stmt = Parse(sql);
  if (stmt.kind == jetsql::Statement::Kind::kQuery) {
    throw errors::CannotExecuteSelect();
  }
  if (stmt.ddl) {
    db_->BeginStatement();
    try {
      ExecuteDataDefinition(*stmt.ddl, *db_);
      db_->CommitStatement();
    } catch (...) {
      db_->RollbackStatement();
      throw;
    }
    // The virtual tables made so far may describe tables and indexes as they were.
    sqlite_->DropVirtualTables();
    return 0;
  }
  if (std::string target = MakeTableTarget(stmt); !target.empty()) {
    return ExecuteMakeTable(std::move(stmt), target);
  }
  if (!stmt.insert && !stmt.update && !stmt.delete_) {
    throw errors::OperationNotSupported(stmt.action_word.empty() ? std::string("SELECT ... INTO")
                                                                 : stmt.action_word);
  }
  DatabaseCatalog catalog(
      db_.get(), [this](const std::string& probe_sql, const std::vector<VirtualTableUse>& tables) {
        sqlite_->EnsureTables(tables);
        return ProbePivot(probe_sql);
      });
  BoundDataChange change = BindDataChange(std::move(stmt), catalog);
  sqlite_->EnsureTables(change.rows.tables);
  // Every row is read before the first write: the statement never sees its own changes, and no
  // cursor walks a table while it changes.
  db_->BeginStatement();
  try {
    std::vector<std::vector<jet::Value>> rows =
        ReadAllRows(change.rows.sql, change.rows.field_types);
    int64_t count = ApplyDataChange(change, rows, *db_);
    db_->CommitStatement();
    return count;
  } catch (...) {
    db_->RollbackStatement();
    throw;
  }
}

}  // namespace jetsql
