#ifndef QUORLA_JETSQL_FUNCTIONS_FUNCTION_SUPPORT_H_
#define QUORLA_JETSQL_FUNCTIONS_FUNCTION_SUPPORT_H_

// What every family of jet_* functions is built from. Each family file defines a table of
// ScalarFunction (or AggregateFunction) entries; RegisterJetFunctions registers them all by name.
// Arguments arrive as (value, type code) pairs, see registry.h.

#include <sqlite3.h>

#include <memory>
#include <span>
#include <string>

#include "jet/error.h"
#include "jet/value.h"
#include "jetsql/callback_error.h"

namespace jetsql::fn {

// The arguments of one call, read pairwise: Access argument i is SQLite arguments 2i and 2i+1.
class Args {
 public:
  Args(int argc, sqlite3_value** argv) : argc_(argc), argv_(argv) {}
  int count() const { return argc_ / 2; }
  // Argument i as a typed value (Null for type code 0).
  jet::Value value(int i) const;
  jet::ColumnType type(int i) const;
  bool is_null(int i) const;
  sqlite3_value* raw(int i) const { return argv_[2 * i]; }
  // SQLite argument k itself (for trailing codes such as an operator's result type).
  sqlite3_value* sqlite_arg(int k) const { return argv_[k]; }
  int sqlite_argc() const { return argc_; }
  // Access argument i converted: to a whole number (banker's rounding), text (CStr), number.
  int64_t integer(int i) const;
  std::string text(int i) const;
  double number(int i) const;

 private:
  int argc_;
  sqlite3_value** argv_;
};

using ScalarImpl = jet::Value (*)(const Args& args);

struct ScalarFunction {
  const char* name;
  ScalarImpl impl;
  // When true, a Null in any argument value gives Null without calling impl.
  bool null_propagates = true;
};

// Aggregates keep their state in an object created on the first step.
class AggregateState {
 public:
  virtual ~AggregateState() = default;
  virtual void Step(const jet::Value& value, jet::ColumnType type) = 0;
  virtual jet::Value Final() = 0;
};

struct AggregateFunction {
  const char* name;
  std::unique_ptr<AggregateState> (*create)();
};

std::span<const ScalarFunction> OperatorFunctions();
std::span<const ScalarFunction> StringFunctions();
std::span<const ScalarFunction> NumberFunctions();
std::span<const ScalarFunction> ConversionFunctions();
std::span<const ScalarFunction> DateFunctions();
std::span<const ScalarFunction> FormatFunctions();
std::span<const ScalarFunction> NamedFormatFunctions();
std::span<const AggregateFunction> AggregateFunctions();

// Fails the call with `error` (callback_error.h).
void ResultError(sqlite3_context* ctx, const jet::Error& error);

}  // namespace jetsql::fn

#endif  // QUORLA_JETSQL_FUNCTIONS_FUNCTION_SUPPORT_H_
