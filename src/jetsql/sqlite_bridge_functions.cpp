// Registers the jet_* functions of every family, the "jet_general" collation, by the names and
// arities registry.h lists.

#include <cstring>
#include <string_view>

#include "jetsql/functions/function_support.h"
#include "jetsql/functions/registry.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql {

namespace fn {
void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv);
std::span<const ScalarFunction> FormatFunctions();
}  // namespace fn

namespace {

void CallScalar(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* def = static_cast<const fn::ScalarFunction*>(sqlite3_user_data(ctx));
  try {
    fn::Args args(argc, argv);
    if (def->null_propagates) {
      for (int i = 0; i < args.count(); ++i) {
        if (args.is_null(i)) {
          sqlite3_result_null(ctx);
          return;
        }
      }
    }
    ResultJetValue(ctx, def->impl(args));
  } catch (const jet::Error& e) {
    fn::ResultError(ctx, e);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  } catch (const std::exception& e) {
    fn::ResultError(ctx, jet::Error(jet::err::kBadExpression, e.what()));
  }
}

// The String form of a function (Left$, Format$, ...): where the function gives Null, its
// String form fails with "Unzulässige Verwendung von Null" (94).
void CallScalarText(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* def = static_cast<const fn::ScalarFunction*>(sqlite3_user_data(ctx));
  try {
    fn::Args args(argc, argv);
    jet::Value result;
    if (def->null_propagates) {
      for (int i = 0; i < args.count(); ++i) {
        if (args.is_null(i)) ThrowInvalidNull();
      }
    }
    result = def->impl(args);
    if (jet::IsNull(result)) ThrowInvalidNull();
    ResultJetValue(ctx, result);
  } catch (const jet::Error& e) {
    fn::ResultError(ctx, e);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  } catch (const std::exception& e) {
    fn::ResultError(ctx, jet::Error(jet::err::kBadExpression, e.what()));
  }
}

// The aggregate's state lives behind a pointer in SQLite's per-group memory.
fn::AggregateState* StateOf(sqlite3_context* ctx, bool create) {
  auto** slot = static_cast<fn::AggregateState**>(
      sqlite3_aggregate_context(ctx, create ? sizeof(fn::AggregateState*) : 0));
  if (!slot) return nullptr;
  if (!*slot && create) {
    const auto* def = static_cast<const fn::AggregateFunction*>(sqlite3_user_data(ctx));
    *slot = def->create().release();
  }
  return *slot;
}

void AggregateStep(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  try {
    fn::AggregateState* state = StateOf(ctx, true);
    if (!state) {
      sqlite3_result_error_nomem(ctx);
      return;
    }
    fn::Args args(argc, argv);
    state->Step(args.value(0), args.type(0));
  } catch (const jet::Error& e) {
    fn::ResultError(ctx, e);
  } catch (const std::exception& e) {
    fn::ResultError(ctx, jet::Error(jet::err::kBadExpression, e.what()));
  }
}

void AggregateFinal(sqlite3_context* ctx) {
  auto** slot = static_cast<fn::AggregateState**>(sqlite3_aggregate_context(ctx, 0));
  std::unique_ptr<fn::AggregateState> state(slot ? *slot : nullptr);
  if (slot) *slot = nullptr;
  try {
    if (!state) {
      const auto* def = static_cast<const fn::AggregateFunction*>(sqlite3_user_data(ctx));
      state = def->create();
    }
    ResultJetValue(ctx, state->Final());
  } catch (const jet::Error& e) {
    fn::ResultError(ctx, e);
  }
}

int CollateGeneral(void*, int len_a, const void* a, int len_b, const void* b) {
  return CompareGeneral(std::string_view(static_cast<const char*>(a), static_cast<size_t>(len_a)),
                        std::string_view(static_cast<const char*>(b), static_cast<size_t>(len_b)));
}

const fn::ScalarFunction* FindScalar(std::string_view name) {
  for (auto family : {fn::OperatorFunctions(), fn::StringFunctions(), fn::NumberFunctions(),
                      fn::ConversionFunctions(), fn::DateFunctions(), fn::FormatFunctions(),
                      fn::NamedFormatFunctions()}) {
    for (const auto& f : family) {
      if (name == f.name) return &f;
    }
  }
  return nullptr;
}

const fn::AggregateFunction* FindAggregate(std::string_view name) {
  for (const auto& f : fn::AggregateFunctions()) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

}  // namespace

void RegisterJetFunctions(sqlite3* db) {
  sqlite3_create_collation_v2(db, "jet_general", SQLITE_UTF8, nullptr, CollateGeneral, nullptr);
  for (const JetFunctionSpec& spec : kJetFunctions) {
    int flags = SQLITE_UTF8 | (spec.deterministic ? SQLITE_DETERMINISTIC : 0);
    if (spec.aggregate) {
      if (const auto* f = FindAggregate(spec.name)) {
        sqlite3_create_function_v2(db, spec.name, spec.arity, flags,
                                   const_cast<fn::AggregateFunction*>(f), nullptr, AggregateStep,
                                   AggregateFinal, nullptr);
      }
    } else if (std::string_view(spec.name) == "jet_like") {
      sqlite3_create_function_v2(db, spec.name, spec.arity, flags, nullptr, fn::LikeFunction,
                                 nullptr, nullptr, nullptr);
    } else if (const auto* f = FindScalar(spec.name)) {
      sqlite3_create_function_v2(db, spec.name, spec.arity, flags,
                                 const_cast<fn::ScalarFunction*>(f), CallScalar, nullptr, nullptr,
                                 nullptr);
    } else if (std::string_view name(spec.name); name.ends_with(kTextFormSuffix)) {
      if (const auto* base = FindScalar(name.substr(0, name.size() - kTextFormSuffix.size()))) {
        sqlite3_create_function_v2(db, spec.name, spec.arity, flags,
                                   const_cast<fn::ScalarFunction*>(base), CallScalarText, nullptr,
                                   nullptr, nullptr);
      }
    }
  }
}

}  // namespace jetsql
