#ifndef QUORLA_JETSQL_BINDER_H_
#define QUORLA_JETSQL_BINDER_H_

// Resolves a parsed statement against the database's tables, gives every expression its Jet
// type, checks Jet's rules (unknown names, grouping, type mismatches) and writes the SQLite SQL
// that computes the statement with the functions of functions/registry.h. Binding builds the
// bound tree of bound_tree.h (binder/bind_*.cpp, one file per clause and expression kind); the
// SQL is written from that tree in a last step (emitter/emit_*.cpp).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/saved_queries.h"
#include "jetsql/ast.h"

namespace jetsql {

// A virtual table the translated SQL reads: temp.<vtab> over the Jet table <table>.
struct VirtualTableUse {
  std::string vtab;      // SQLite name, unique per Jet table and file
  std::string table;     // Jet table name as the catalogue spells it
  std::string database;  // the other Jet file it lies in (FROM t IN 'file'); empty: this one
};

// One column of a crosstab whose pivot values come from the data.
struct PivotValue {
  std::string literal_sql;  // the value as a SQLite literal ("NULL" for Null)
  std::string name;         // the column name Access gives it
};

// Where the binder finds table definitions and saved queries.
class Catalog {
 public:
  virtual ~Catalog() = default;
  // The table's definition, or nullptr when there is no such table (any case).
  virtual std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) = 0;
  // The saved query of that name (any case), or nothing.
  virtual std::optional<jet::SavedQuery> FindQuery(const std::string& name);
  // A table of the Jet file `database` (relative to this database's folder); nullptr when that
  // file has no such table. Throws Error when the file cannot be opened (3024, 3044, ...).
  virtual std::shared_ptr<const jet::TableDef> FindExternalTable(const std::string& database,
                                                                 const std::string& name);
  // The columns of a saved crosstab query without fixed column headings: runs the probe `sql`
  // (see BoundStatement::pivot_probe_sql), which reads `tables`.
  virtual std::vector<PivotValue> ProbePivot(const std::string& sql,
                                             const std::vector<VirtualTableUse>& tables);
};

// A Catalog over an open database.
class DatabaseCatalog : public Catalog {
 public:
  using ProbeRunner = std::function<std::vector<PivotValue>(
      const std::string& sql, const std::vector<VirtualTableUse>& tables)>;
  // `probe` runs the probes of saved crosstab queries; without it they fail with 3251.
  explicit DatabaseCatalog(jet::Database* db, ProbeRunner probe = nullptr)
      : db_(db), probe_(std::move(probe)) {}
  std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) override;
  std::optional<jet::SavedQuery> FindQuery(const std::string& name) override;
  std::shared_ptr<const jet::TableDef> FindExternalTable(const std::string& database,
                                                         const std::string& name) override;
  std::vector<PivotValue> ProbePivot(const std::string& sql,
                                     const std::vector<VirtualTableUse>& tables) override;

 private:
  jet::Database* db_;
  ProbeRunner probe_;
  std::optional<std::vector<jet::SavedQuery>> queries_;  // read when first asked for
};

struct BoundStatement {
  bool returns_rows = true;
  std::string sql;  // SQLite SELECT producing the result columns in order
  std::vector<std::string> field_names;
  std::vector<jet::ColumnType> field_types;
  std::vector<VirtualTableUse> tables;
  // For a crosstab without an IN list: a query giving (value, name) for each distinct pivot
  // value in order. Run it and bind again with the values; `sql` is empty until then.
  std::string pivot_probe_sql;
};

// Binds `stmt`. Throws jet::Error for every meaning error (3078, 3061, 3464, 3122, ...).
BoundStatement Bind(const Statement& stmt, Catalog& catalog,
                    const std::vector<PivotValue>* pivot_values = nullptr);

// Quotes an identifier for SQLite.
std::string QuoteIdentifier(const std::string& name);
// The SQLite name of the virtual table over a Jet table (of the other file `database`).
std::string VirtualTableName(const std::string& table, const std::string& database = "");

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BINDER_H_
