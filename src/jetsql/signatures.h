#ifndef QUORLA_JETSQL_SIGNATURES_H_
#define QUORLA_JETSQL_SIGNATURES_H_

// What the binder knows about each Access function: how many arguments it takes, the defaults of
// optional ones, how it is emitted and the Jet type it yields. The SQLite side of each entry is
// described in functions/registry.h.

#include <optional>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jetsql {

// The Jet type of an expression that has none of its own (the Null literal).
inline constexpr jet::ColumnType kNullType = static_cast<jet::ColumnType>(0);

enum class FunctionKind {
  kScalar,     // jet_<name>(value, type, ...)
  kAggregate,  // jet_<name>(value, type) as an aggregate
  kCast,       // jet_cast(value, type, target)
  kSpecial,    // written by the binder itself (IIf, Nz, Count, Min, ...)
};

enum class ResultRule {
  kFixed,     // `result`
  kSame,      // the first argument's type (Text/Null -> Double, Boolean/Byte -> Integer)
  kSum,       // Sum: integral -> Long, Currency, Decimal, else Double
  kAvg,       // Avg: Currency, Decimal, else Double
  kArgument,  // the first argument's type unchanged (First, Last, Min, Max)
};

struct DefaultArg {
  std::string sql;  // SQLite literal
  jet::ColumnType type;
};

struct FunctionSignature {
  const char* access_name;  // upper case
  const char* sqlite_name;
  FunctionKind kind;
  int min_args;
  int max_args;
  std::vector<DefaultArg> defaults;  // for arguments min_args+1 .. max_args
  ResultRule rule;
  jet::ColumnType result = kNullType;
  jet::ColumnType cast_target = kNullType;  // kCast
};

// Looks a function up by its Access name (any case); nullptr when Access has no such function.
const FunctionSignature* FindFunction(const std::string& name);

// The result type of a function applied to arguments of the given first type.
jet::ColumnType ResultType(const FunctionSignature& sig, jet::ColumnType first_arg);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_SIGNATURES_H_
