#ifndef QUORLA_JETSQL_BOUND_TREE_H_
#define QUORLA_JETSQL_BOUND_TREE_H_

// The bound form of a Jet SQL statement: every name resolved to a slot of a FROM source, every
// expression typed, and every Jet rule decided (how two values compare, where a value becomes a
// condition, which runtime function computes an operator). The emitter turns this tree into
// SQLite SQL and decides nothing of Jet's meaning itself.
//
// Expression nodes are immutable once built and shared: a select alias, an ORDER BY position or
// a crosstab filter refers to the node it names instead of a copy.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jetsql {

struct BoundExpr;
struct BoundQuery;
using BoundExprPtr = std::shared_ptr<const BoundExpr>;

enum class BoundExprKind {
  kConstant,      // constant
  kColumn,        // field `column` of FROM source `source`
  kOutputColumn,  // output column `column` of a query read by `qualifier` (may be empty)
  kParameter,     // a name nothing declares: a parameter without a value, Null
  kToValue,       // args[0], a condition, as Jet's Boolean -1/0/Null
  kToCondition,   // args[0], a number, as a condition: true when not zero
  kCast,          // args[0] converted to `type` by the runtime
  kCompare,       // args[0] op args[1] by `compare`
  kLogical,       // op over conditions: AND, OR (any number), XOR, EQV, IMP (two)
  kNot,           // Not args[0], a condition
  kCall,          // runtime function `function` over args
  kLike,          // args[0] Like args[1], negated
  kInList,        // args[0] In (args[1..]) as one SQLite IN
  kInQuery,       // args[0] In (query)
  kIsNull,        // args[0] Is [Not] Null (negated)
  kExists,        // Exists (query)
  kQuantified,    // op ANY/ALL (query): args[0] is the comparison of one row, against
                  // kOutputColumn qualified "q<ordinal>"; negated means ALL
  kSubquery,      // (query) as a single value
  kCase,          // CASE [args[0] when has_operand] WHEN a THEN b ... END
  kAggregate,     // aggregate `function` over args[0] (none for Count(*)), filtered by `filter`
};

struct BoundConstant {
  enum class Kind { kNull, kInteger, kReal, kText, kLiteral } kind = Kind::kNull;
  int64_t integer = 0;
  double real = 0;
  std::string text;  // kText: the text; kLiteral: a SQLite literal as SQLite wrote it
};

// How a comparison is computed.
enum class CompareMode {
  kNative,    // SQLite's own operator on like-represented values
  kCollated,  // text: under the "jet_general" collation
  kRuntime,   // jet_op_cmp(a, ta, b, tb) op 0: Decimal against anything
};

// How a runtime function takes its arguments.
enum class CallStyle {
  kTyped,  // each argument followed by its Jet type code; then result_code when set
  kPlain,  // arguments only (coalesce)
};

struct BoundExpr {
  BoundExprKind kind = BoundExprKind::kConstant;
  jet::ColumnType type = static_cast<jet::ColumnType>(0);
  bool condition = false;  // yields SQLite's 1/0/Null, not a Jet value
  std::vector<BoundExprPtr> args;

  BoundConstant constant;                      // kConstant
  int source = 0;                              // kColumn
  int column = 0;                              // kColumn, kOutputColumn
  bool derived_column = false;                 // kColumn: a derived table's c<column>
  std::string name;                            // kColumn: the Jet field; kParameter: its name
  std::string qualifier;                       // kOutputColumn
  std::string op;                              // kCompare, kLogical, kQuantified
  CompareMode compare = CompareMode::kNative;  // kCompare
  std::string function;                        // kCall, kAggregate: SQLite function name
  CallStyle call_style = CallStyle::kTyped;    // kCall
  std::optional<jet::ColumnType> result_code;  // kCall: result type passed last
  bool negated = false;                        // kLike, kIsNull, kQuantified
  bool has_operand = false;                    // kCase
  bool has_else = false;                       // kCase: the last argument is the ELSE value
  bool collated = false;                       // kAggregate: argument under "jet_general"
  bool star = false;                           // kAggregate: Count(*)
  bool typed_argument = false;                 // kAggregate: jet_sum(a, ta)
  BoundExprPtr filter;                         // kAggregate: crosstab column condition
  int ordinal = 0;                             // kQuantified
  std::shared_ptr<const BoundQuery> query;     // kInQuery, kExists, kQuantified, kSubquery
};

inline bool IsTextType(jet::ColumnType t) {
  return t == jet::ColumnType::kText || t == jet::ColumnType::kMemo;
}

// Structural equality: the same computation on the same slots. Used where Jet asks whether two
// expressions are "the same" (GROUP BY terms, ORDER BY against DISTINCT output).
bool SameBoundExpr(const BoundExpr& a, const BoundExpr& b);

// ---- queries ----

struct BoundSelect;

// A FROM source.
struct BoundTableRef {
  enum class Kind { kTable, kDerived, kJoin } kind = Kind::kTable;
  int source = 0;                     // kTable, kDerived: columns are read as s<source>.<column>
  std::string vtab;                   // kTable: the virtual table
  bool read_once = false;             // kTable: a small table of a join, read once into a temporary
  std::unique_ptr<BoundQuery> query;  // kDerived
  enum class Join {
    kInner,
    kLeft,
    kRight,
    kCross
  } join = Join::kInner;                       // kJoin; kCross keeps
                                               // the written order
  std::unique_ptr<BoundTableRef> left, right;  // kJoin
  BoundExprPtr on;                             // kJoin: a condition
};

struct BoundOrderTerm {
  BoundExprPtr value;
  bool descending = false;
  int output_column = -1;  // the select item with the same value, -1 when none
};

struct BoundSelect {
  std::vector<std::unique_ptr<BoundTableRef>> from;  // in the order SQLite should read them
  bool from_cross = false;  // join the FROM items with CROSS JOIN (fixed order), not commas
  BoundExprPtr where;       // a condition, or null
  std::vector<BoundExprPtr> group_by;
  BoundExprPtr having;                // a condition, or null
  std::vector<BoundExprPtr> columns;  // values, output as c0, c1, ...
  bool distinct = false;
  std::vector<BoundOrderTerm> order_by;
  std::optional<double> top;
  bool top_percent = false;
  // How TOP keeps its rows with their ties.
  enum class TopPlan {
    kRank,    // rank all rows by the order and keep ranks within n (or n percent)
    kLimit,   // no order: the first n rows
    kCutoff,  // find the n-th row's sort key, then keep the rows not after it
  } top_plan = TopPlan::kRank;
};

// A SELECT or a UNION of SELECTs, with its output columns named and typed.
struct BoundQuery {
  std::vector<std::string> names;
  std::vector<jet::ColumnType> types;

  std::unique_ptr<BoundSelect> select;  // a single SELECT

  struct Arm {
    std::unique_ptr<BoundSelect> select;
    bool wrapped = false;  // the arm has TOP: read it as a subquery so its ORDER BY stays inside
    std::vector<BoundExprPtr> converted;  // when not empty: the arm's c<i> as the union's types
  };
  std::vector<Arm> arms;  // a UNION when not empty
  std::vector<bool> union_all;
  struct OrderTerm {
    int column = 0;
    bool descending = false;
  };
  std::vector<OrderTerm> union_order;
};

// What a crosstab without IN list reads to find its columns: the distinct values of the pivot
// expression over the FROM and WHERE of its SELECT.
struct BoundPivotProbe {
  std::unique_ptr<BoundSelect> source;  // from and where only
  BoundExprPtr pivot;
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_BOUND_TREE_H_
