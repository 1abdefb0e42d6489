#ifndef QUORLA_JETSQL_BINDER_BIND_STATEMENT_H_
#define QUORLA_JETSQL_BINDER_BIND_STATEMENT_H_

// Binding a whole statement to its bound tree, before any SQL is written.

#include <memory>
#include <vector>

#include "jetsql/ast.h"
#include "jetsql/binder.h"
#include "jetsql/bound_tree.h"

namespace jetsql {

struct BoundProgram {
  bool returns_rows = true;
  std::unique_ptr<BoundQuery> query;             // null while a crosstab probes its columns
  std::unique_ptr<BoundPivotProbe> pivot_probe;  // set while a crosstab probes its columns
  std::vector<VirtualTableUse> tables;
};

// Throws jet::Error for every meaning error, as Bind does.
BoundProgram BindProgram(const Statement& stmt, Catalog& catalog,
                         const std::vector<PivotValue>* pivot_values);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BINDER_BIND_STATEMENT_H_
