#ifndef QUORLA_JETSQL_DML_WRITE_SOURCES_H_
#define QUORLA_JETSQL_DML_WRITE_SOURCES_H_

// What UPDATE and DELETE share: the tables of their FROM clause, and a catalogue that shows
// the tables being changed with the hidden row-address column, so the SELECT that finds the rows
// can name it.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "jetsql/ast.h"
#include "jetsql/binder.h"

namespace jetsql {

// A table of a FROM clause, by the name that qualifies its fields.
struct WriteSource {
  std::string name;   // alias, or the table name as written
  std::string table;  // empty for a derived table
  std::shared_ptr<const jet::TableDef> def;
};

// The FROM items' sources in order; 3078 for an unknown table.
std::vector<WriteSource> CollectSources(const std::vector<std::unique_ptr<FromItem>>& from,
                                        Catalog& catalog);

// Finds a source by name (case-insensitive); nullptr when none.
const WriteSource* FindSource(const std::vector<WriteSource>& sources, const std::string& name);

bool SameFieldName(const std::string& a, const std::string& b);

// A catalogue whose `tables` also have the row-address column, and which never asks the binder
// to read them once into a temporary (that copy would lose the address).
class AddressCatalog : public Catalog {
 public:
  AddressCatalog(Catalog& inner, const std::set<std::string>& tables);
  std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) override;
  std::optional<jet::SavedQuery> FindQuery(const std::string& name) override {
    return inner_.FindQuery(name);
  }
  std::shared_ptr<const jet::TableDef> FindExternalTable(const std::string& database,
                                                         const std::string& name) override {
    return inner_.FindExternalTable(database, name);
  }
  std::vector<PivotValue> ProbePivot(const std::string& sql,
                                     const std::vector<VirtualTableUse>& tables) override {
    return inner_.ProbePivot(sql, tables);
  }

 private:
  Catalog& inner_;
  std::set<std::string> folded_tables_;
  std::map<std::string, std::shared_ptr<const jet::TableDef>> augmented_;
};

// An expression reading field `name` of source `qualifier`.
std::unique_ptr<Expr> ColumnRef(const std::string& qualifier, const std::string& name);

// The SELECT statement that UPDATE and DELETE bind: its parameters and text are those of the
// statement, so errors quote it and PARAMETERS count as for a query.
Statement RowSelect(const Statement& original, std::unique_ptr<SelectQuery> select);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_WRITE_SOURCES_H_
