#ifndef QUORLA_JETSQL_BINDER_BINDER_IMPL_H_
#define QUORLA_JETSQL_BINDER_BINDER_IMPL_H_

// The binder's working state, shared by the files that bind one clause or one kind of
// expression each (bind_*.cpp).

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "jetsql/ast.h"
#include "jetsql/binder.h"
#include "jetsql/binder/bind_scope.h"
#include "jetsql/binder/bind_statement.h"
#include "jetsql/bound_tree.h"

namespace jetsql {

// One crosstab column: the value its aggregate is filtered on, and the name Access gives it.
struct PivotColumn {
  BoundExprPtr value;  // a constant; Null for the column of Null pivot values
  bool is_null = false;
  std::string name;
};

struct PivotSpec {
  const Expr* transform = nullptr;
  const Expr* pivot = nullptr;
  std::vector<PivotColumn> columns;
  bool probe = false;                          // columns unknown: find them first
  std::unique_ptr<BoundPivotProbe> probe_out;  // filled when probe
};

// The select list as it is bound, for the clauses after it.
struct SelectList {
  std::vector<std::pair<std::string, Bound>> aliases;  // visible to later items and ORDER BY
  std::vector<Bound> items;
  std::vector<std::string> names;
  bool any_aggregate = false;
  // Fields from *, to be named "table.field" when another field has the same name.
  std::vector<std::string> star_qualified;
  std::vector<size_t> star_index;
};

class Binder {
 public:
  Binder(const Statement& stmt, Catalog& catalog) : stmt_(&stmt), catalog_(catalog) {}

  BoundProgram Run(const std::vector<PivotValue>* pivot_values);
  // Binds the query of the statement being bound. A crosstab without IN list and without
  // `pivot_values` returns null and sets `probe` to what finds its columns.
  std::unique_ptr<BoundQuery> BindStatementQuery(const std::vector<PivotValue>* pivot_values,
                                                 std::unique_ptr<BoundPivotProbe>* probe);

  // ---- queries (bind_select.cpp, bind_union.cpp) ----
  std::unique_ptr<BoundQuery> BindQueryExpr(const QueryExpr& q, Scope* outer);
  // Binds one SELECT; `pivot` makes it a crosstab, `extra_order` is a union's ORDER BY when
  // the union has a single arm. Returns null when the crosstab only probes its columns.
  std::unique_ptr<BoundQuery> BindSelect(const SelectQuery& s, Scope* outer, PivotSpec* pivot,
                                         const std::vector<OrderItem>* extra_order = nullptr);

  // ---- clauses ----
  void BindFrom(const SelectQuery& s, Scope& scope, BoundSelect* out);            // bind_from
  BoundExprPtr BindWhere(const SelectQuery& s, Scope& scope);                     // bind_where
  void BindGroupBy(const SelectQuery& s, Scope& scope, BoundSelect* out);         // bind_group
  BoundExprPtr BindHaving(const SelectQuery& s, Scope& scope, SelectList& list);  // bind_group
  void CheckGrouping(const SelectQuery& s, const SelectList& list);               // bind_group
  void BindSelectList(const SelectQuery& s, Scope& scope, SelectList& list);      // select_list
  bool BindPivot(PivotSpec& pivot, Scope& scope, SelectList& list, BoundSelect& out);  // crosstab
  void BindOrderBy(const std::vector<OrderItem>& order, bool grouped, Scope& scope,
                   SelectList& list, BoundSelect* out);                                // bind_order
  void BindUnionOrderBy(const std::vector<OrderItem>& order, BoundQuery* out);         // bind_order
  void BindDistinctRow(const Scope& scope, const SelectList& list, BoundSelect* out);  // distinct
  void BindTop(const SelectQuery& s, bool nested, BoundSelect* out);                   // bind_top
  std::vector<PivotColumn> BindPivotInList();                                          // crosstab

  // ---- expressions ----
  Bound BindExpr(const Expr& e, Scope& scope);       // bind_expression
  Bound BindColumn(const Expr& e, Scope& scope);     // bind_expression
  Bound BindOperator(const Expr& e, Scope& scope);   // bind_operators
  Bound BindPredicate(const Expr& e, Scope& scope);  // bind_operators
  Bound BindFunction(const Expr& e, Scope& scope);   // bind_function
  Bound BindAggregate(const Expr& e, Scope& scope, const std::string& name, const char* fn);
  Bound BindSubqueryExpr(const Expr& e, Scope& scope);  // bind_subquery

  // ---- helpers (bind_statement.cpp) ----
  std::string Span(const Expr& e) const;
  static bool SameName(const std::string& a, const std::string& b);
  static std::string FoldName(const std::string& s);
  int NewSourceId() { return alias_counter_++; }
  // A crosstab column's value as the probe gave it (a SQLite literal).
  static BoundExprPtr NewPivotLiteral(const std::string& literal_sql);

 private:
  std::unique_ptr<BoundTableRef> BindTableRef(const FromItem& item, Scope& scope, bool* small);
  // A saved query named in FROM, as a derived table of its SQL (bind_saved_query.cpp).
  std::unique_ptr<BoundTableRef> BindSavedQuery(const FromItem& item, Scope& scope);
  void CheckDuplicateSource(const Scope& scope, const std::string& name);
  void ExpandStar(const Expr& e, Scope& scope, SelectList& list);
  void DisambiguateStarNames(SelectList& list);
  std::shared_ptr<const BoundQuery> BindSubquery(const QueryExpr& q, Scope& scope);
  void CheckParameters();

  const Statement* stmt_;  // the statement being bound: the outer one, or a saved query's
  Catalog& catalog_;
  std::vector<VirtualTableUse> tables_;
  std::set<std::string> unknown_;
  std::set<std::string> declared_;
  int alias_counter_ = 0;
  int expr_counter_ = 1000;
  int quantified_counter_ = 0;
  bool in_aggregate_ = false;
  bool in_join_ = false;
  BoundExprPtr pivot_filter_;  // the crosstab column's condition while its aggregate is bound
  std::vector<std::string> saved_queries_;  // folded names of the saved queries being bound
  std::vector<std::unique_ptr<Statement>> saved_statements_;  // their parsed SQL
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BINDER_BINDER_IMPL_H_
