#ifndef QUORLA_JETSQL_AST_H_
#define QUORLA_JETSQL_AST_H_

// The parsed form of a Jet SQL statement, before names and types are resolved. Every expression
// remembers the span of statement text it came from, for error messages that quote it.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jetsql/ddl_ast.h"

namespace jetsql {

struct SelectQuery;
struct QueryExpr;

enum class ExprKind {
  kNull,
  kBoolean,     // bool_value
  kNumber,      // number, integer, text
  kString,      // text
  kDate,        // number = days
  kColumn,      // qualifier (may be empty), name
  kStar,        // qualifier (may be empty): * or t.* in a select list
  kUnary,       // op: "-", "+", "NOT"; args[0]
  kBinary,      // op: & + - * / \ ^ MOD = <> < <= > >= AND OR XOR EQV IMP; args[0], args[1]
  kLike,        // negated; args[0] Like args[1]
  kBetween,     // negated; args[0] Between args[1] And args[2]
  kInList,      // negated; args[0] In (args[1..])
  kInQuery,     // negated; args[0] In (query)
  kIsNull,      // negated; args[0] Is [Not] Null
  kExists,      // Exists (query)
  kQuantified,  // op (comparison), quantifier ANY/ALL; args[0] op ANY (query)
  kSubquery,    // (query) as a value
  kFunction,    // name(args); star for Count(*)
};

struct Expr {
  ExprKind kind = ExprKind::kNull;
  std::string op;
  std::string qualifier;
  std::string name;
  std::string text;
  double number = 0;
  bool integer = false;
  bool bool_value = false;
  bool negated = false;
  bool star = false;
  std::string quantifier;
  std::vector<std::unique_ptr<Expr>> args;
  std::unique_ptr<QueryExpr> query;
  size_t begin = 0;  // span in the statement text
  size_t end = 0;
  int depth = 1;  // height of this subtree
};

struct SelectItem {
  std::unique_ptr<Expr> expr;
  std::string alias;  // empty when none
};

enum class JoinKind { kNone, kInner, kLeft, kRight };

// A FROM source: a table, a derived table, or a join of two sources.
struct FromItem {
  enum class Kind { kTable, kDerived, kJoin } kind = Kind::kTable;
  std::string table;                 // kTable
  std::string database;              // kTable: the other Jet file it lies in (IN 'file'); empty
                                     // for this database
  std::string alias;                 // kTable, kDerived
  std::unique_ptr<QueryExpr> query;  // kDerived
  JoinKind join = JoinKind::kNone;   // kJoin
  std::unique_ptr<FromItem> left, right;
  std::unique_ptr<Expr> on;
  size_t begin = 0;
};

struct OrderItem {
  std::unique_ptr<Expr> expr;
  bool descending = false;
};

struct SelectQuery {
  enum class Quantifier { kAll, kDistinct, kDistinctRow } quantifier = Quantifier::kAll;
  std::optional<double> top;
  bool top_percent = false;
  std::vector<SelectItem> items;
  std::string into;           // SELECT ... INTO table (make-table): does not return rows
  std::string into_database;  // SELECT ... INTO table IN 'file': the file the table is made in
  std::vector<std::unique_ptr<FromItem>> from;
  std::unique_ptr<Expr> where;
  std::vector<std::unique_ptr<Expr>> group_by;
  std::unique_ptr<Expr> having;
  std::vector<OrderItem> order_by;  // only when this select stands alone
};

// SELECT or a UNION of SELECTs, with the ORDER BY that applies to the whole.
struct QueryExpr {
  std::vector<std::unique_ptr<SelectQuery>> arms;
  std::vector<bool> union_all;      // union_all[i] joins arms[i] and arms[i + 1]
  std::vector<OrderItem> order_by;  // for unions
};

struct Parameter {
  std::string name;
  std::string type;
};

// INSERT INTO table [(columns)] VALUES (values) | query.
struct InsertStatement {
  std::string table;
  std::vector<std::string> columns;           // empty when the statement names none
  std::vector<std::unique_ptr<Expr>> values;  // VALUES form
  std::unique_ptr<QueryExpr> query;           // SELECT form
};

// One "field = value" of an UPDATE's SET list.
struct Assignment {
  std::string qualifier;  // may be empty
  std::string name;
  std::unique_ptr<Expr> value;
};

// UPDATE sources SET assignments [WHERE condition].
struct UpdateStatement {
  std::vector<std::unique_ptr<FromItem>> from;
  std::vector<Assignment> set;
  std::unique_ptr<Expr> where;
};

// DELETE [targets] FROM sources [WHERE condition].
struct DeleteStatement {
  std::vector<std::string> targets;  // the sources named by "t.*" (or "t.field"); empty for "*"
  std::vector<std::unique_ptr<FromItem>> from;
  std::unique_ptr<Expr> where;
};

struct Statement {
  enum class Kind { kQuery, kAction } kind = Kind::kQuery;
  std::string action_word;  // first word of an action statement (upper case)
  // Set for the data-changing and data-definition statements; PROCEDURE carries only
  // action_word.
  std::unique_ptr<InsertStatement> insert;
  std::unique_ptr<UpdateStatement> update;
  std::unique_ptr<DeleteStatement> delete_;
  std::unique_ptr<DataDefinition> ddl;  // CREATE, DROP and ALTER
  std::vector<Parameter> parameters;
  std::unique_ptr<QueryExpr> query;
  // TRANSFORM aggregate SELECT ... PIVOT pivot [IN (pivot_values)]
  std::unique_ptr<Expr> transform;
  std::unique_ptr<Expr> pivot;
  std::vector<std::unique_ptr<Expr>> pivot_values;
  bool pivot_in = false;
  std::string text;  // the statement, for quoting spans
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_AST_H_
