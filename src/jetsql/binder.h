#ifndef QUORLA_JETSQL_BINDER_H_
#define QUORLA_JETSQL_BINDER_H_

// Resolves a parsed statement against the database's tables, gives every expression its Jet
// type, checks Jet's rules (unknown names, grouping, type mismatches) and writes the SQLite SQL
// that computes the statement with the functions of functions/registry.h. Binding builds the
// bound tree of bound_tree.h (binder/bind_*.cpp, one file per clause and expression kind); the
// SQL is written from that tree in a last step (emitter/emit_*.cpp).

#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/ast.h"

namespace jetsql {

// Where the binder finds table definitions.
class Catalog {
 public:
  virtual ~Catalog() = default;
  // The table's definition, or nullptr when there is no such table (any case).
  virtual std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) = 0;
};

// A Catalog over an open database.
class DatabaseCatalog : public Catalog {
 public:
  explicit DatabaseCatalog(jet::Database* db) : db_(db) {}
  std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) override;

 private:
  jet::Database* db_;
};

// A virtual table the translated SQL reads: temp.<vtab> over the Jet table <table>.
struct VirtualTableUse {
  std::string vtab;   // SQLite name, unique per Jet table
  std::string table;  // Jet table name as the catalogue spells it
};

// One column of a crosstab whose pivot values come from the data.
struct PivotValue {
  std::string literal_sql;  // the value as a SQLite literal ("NULL" for Null)
  std::string name;         // the column name Access gives it
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
// The SQLite name of the virtual table over a Jet table.
std::string VirtualTableName(const std::string& table);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BINDER_H_
