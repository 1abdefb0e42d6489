#ifndef QUORLA_JETSQL_EMITTER_EMITTER_H_
#define QUORLA_JETSQL_EMITTER_EMITTER_H_

// Writes the SQLite SQL of a bound tree. Every Jet decision is already in the tree; this only
// spells it: runtime functions of functions/registry.h, "jet_general" on text, output columns
// c0, c1, ... and sources s0, s1, ...

#include <string>

#include "jetsql/bound_tree.h"

namespace jetsql {

std::string EmitExpression(const BoundExpr& e);
std::string EmitQuery(const BoundQuery& q);
std::string EmitSelect(const BoundSelect& s);
std::string EmitPivotProbe(const BoundPivotProbe& probe);

// Shared spellings (emit_constant.cpp).
std::string TypeCode(jet::ColumnType t);
std::string RealLiteral(double v);
std::string TextLiteral(const std::string& s);
std::string EmitConstant(const BoundConstant& c);
// `sql` under the "jet_general" collation when `type` is text.
std::string Collated(const std::string& sql, jet::ColumnType type);

// By kind (emit_*.cpp).
std::string EmitOperator(const BoundExpr& e);   // emit_operator.cpp
std::string EmitFunction(const BoundExpr& e);   // emit_function.cpp
std::string EmitAggregate(const BoundExpr& e);  // emit_aggregate.cpp
std::string EmitSubquery(const BoundExpr& e);   // emit_subquery.cpp
std::string EmitFrom(const BoundSelect& s);     // emit_from.cpp
std::string EmitTop(const BoundSelect& s, const std::string& columns, const std::string& tail,
                    const std::string& order);  // emit_top.cpp

}  // namespace jetsql

#endif  // QUORLA_JETSQL_EMITTER_EMITTER_H_
