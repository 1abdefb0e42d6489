#ifndef QUORLA_JETSQL_EXPRESSION_EMITTER_H_
#define QUORLA_JETSQL_EXPRESSION_EMITTER_H_

// Gives a parsed expression its Jet type and writes the SQLite expression that computes it with
// Access's semantics: operators and functions as in functions/registry.h, text compared under
// "jet_general", Booleans as -1/0.

#include <string>
#include <vector>

#include "jet/value.h"
#include "jetsql/ast.h"

namespace jetsql {

struct Scope;  // the binder's name scope

// A bound expression.
struct BExpr {
  std::string sql;
  jet::ColumnType type = static_cast<jet::ColumnType>(0);
  bool pred = false;        // sql yields SQLite's 1/0/NULL (a condition), not Jet's -1/0/NULL
  bool aggregate = false;   // contains an aggregate function
  bool naked = false;       // refers to a field outside any aggregate and outside GROUP BY
  std::string naked_text;   // that field, for the error message
  std::string column_name;  // set when the expression is a plain field
};

// What the emitter needs from the binder.
class ExpressionContext {
 public:
  virtual ~ExpressionContext() = default;
  virtual BExpr BindExpr(const Expr& e, Scope& scope) = 0;
  virtual BExpr ResolveColumn(const Expr& e, Scope& scope) = 0;
  // Binds a subquery; `types` receives its column types; result sql is "(SELECT ...)".
  virtual BExpr BindSubquery(const QueryExpr& q, Scope& scope,
                             std::vector<jet::ColumnType>* types) = 0;
  virtual bool InAggregate() const = 0;
  virtual void SetInAggregate(bool v) = 0;
  virtual const std::string& StatementText() const = 0;
  // Condition added to every aggregate as FILTER (WHERE ...) while a crosstab column is bound.
  virtual const std::string* PivotFilter() const = 0;
};

// Reports whether aggregates are banned in the scope's current clause (nullptr when allowed).
const char* AggregateBan(const Scope& scope);

class ExpressionEmitter {
 public:
  BExpr Emit(const Expr& e, Scope& scope, ExpressionContext& ctx);

  // The expression as a Jet value (Booleans -1/0).
  BExpr Value(const BExpr& b) const;
  // The expression as a SQLite condition (1/0/NULL).
  BExpr Predicate(const BExpr& b) const;
  // Converts to `target`'s representation where it differs.
  BExpr Coerce(const BExpr& b, jet::ColumnType target) const;
  // The type two alternatives share (IIf, UNION, ...).
  jet::ColumnType Unify(jet::ColumnType a, jet::ColumnType b) const;
  // `sql` with COLLATE jet_general when `type` is text.
  std::string Collated(const std::string& sql, jet::ColumnType type) const;
  bool IsTextType(jet::ColumnType t) const;
  // Comparison with Access's typing; op is = <> < <= > >=.
  BExpr Compare(const std::string& op, const BExpr& a, const BExpr& b) const;
  // And, Or (any number of operands), Xor, Eqv, Imp (two): logical on conditions and
  // Booleans, bitwise on numbers.
  BExpr Logical(const std::string& op, const std::vector<BExpr>& operands) const;

 private:
  int quantified_counter_ = 0;  // names the derived tables of ANY/ALL comparisons
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_EXPRESSION_EMITTER_H_
