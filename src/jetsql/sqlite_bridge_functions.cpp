// Registers the jet_* functions of every family, the "jet_general" collation, by the names and
// arities registry.h lists.

#include <cstring>
#include <memory>
#include <string_view>

#include "jetsql/callback_error.h"
#include "jetsql/functions/function_support.h"
#include "jetsql/functions/registry.h"
#include "jetsql/like.h"
#include "jetsql/sqlite_bridge.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql {

namespace fn {
void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv);
std::span<const ScalarFunction> FormatFunctions();
}  // namespace fn

namespace {

template <typename Definition>
const Definition* DefinitionOf(sqlite3_context* ctx) {
  return static_cast<const Definition*>(
      static_cast<const FunctionData*>(sqlite3_user_data(ctx))->definition);
}

void CallScalar(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* def = DefinitionOf<fn::ScalarFunction>(ctx);
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
  } catch (...) {
    FailCallWithCurrentException(ctx);
  }
}

// The String form of a function (Left$, Format$, ...): where the function gives Null, its
// String form fails with "Unzulässige Verwendung von Null" (94).
void CallScalarText(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* def = DefinitionOf<fn::ScalarFunction>(ctx);
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
  } catch (...) {
    FailCallWithCurrentException(ctx);
  }
}

// The aggregate's state lives behind a pointer in SQLite's per-group memory.
fn::AggregateState* StateOf(sqlite3_context* ctx, bool create) {
  auto** slot = static_cast<fn::AggregateState**>(
      sqlite3_aggregate_context(ctx, create ? sizeof(fn::AggregateState*) : 0));
  if (!slot) return nullptr;
  if (!*slot && create) {
    *slot = DefinitionOf<fn::AggregateFunction>(ctx)->create().release();
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
  } catch (...) {
    FailCallWithCurrentException(ctx);
  }
}

void AggregateFinal(sqlite3_context* ctx) {
  auto** slot = static_cast<fn::AggregateState**>(sqlite3_aggregate_context(ctx, 0));
  std::unique_ptr<fn::AggregateState> state(slot ? *slot : nullptr);
  if (slot) *slot = nullptr;
  try {
    if (!state) state = DefinitionOf<fn::AggregateFunction>(ctx)->create();
    ResultJetValue(ctx, state->Final());
  } catch (...) {
    FailCallWithCurrentException(ctx);
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

void DeleteFunctionData(void* data) {
  std::unique_ptr<FunctionData> owned(static_cast<FunctionData*>(data));
}

// Registers one function with its FunctionData, which SQLite frees with the function.
void Register(sqlite3* db, const JetFunctionSpec& spec, const void* definition,
              PendingError* pending, void (*scalar)(sqlite3_context*, int, sqlite3_value**),
              void (*step)(sqlite3_context*, int, sqlite3_value**),
              void (*final)(sqlite3_context*)) {
  int flags = SQLITE_UTF8 | (spec.deterministic ? SQLITE_DETERMINISTIC : 0);
  auto data = std::make_unique<FunctionData>(FunctionData{definition, pending});
  sqlite3_create_function_v2(db, spec.name, spec.arity, flags, data.release(), scalar, step, final,
                             DeleteFunctionData);
}

void DeleteLikePattern(void* p) {
  delete static_cast<LikePattern*>(p);
}

}  // namespace

void LikeColumnFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  try {
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL ||
        sqlite3_value_type(argv[1]) == SQLITE_NULL) {
      sqlite3_result_null(ctx);
      return;
    }
    const auto* data = static_cast<const char*>(sqlite3_value_blob(argv[0]));
    std::string_view text(data ? data : "", static_cast<size_t>(sqlite3_value_bytes(argv[0])));
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
      auto compiled = std::make_unique<LikePattern>(
          std::string_view(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(argv[1]))));
      bool matches = compiled->Matches(text);
      sqlite3_set_auxdata(ctx, 1, compiled.release(), DeleteLikePattern);
      sqlite3_result_int(ctx, matches);
      return;
    }
    sqlite3_result_int(ctx, pattern->Matches(text));
  } catch (...) {
    FailCallWithCurrentException(ctx);
  }
}

void RegisterJetFunctions(sqlite3* db, PendingError* pending) {
  sqlite3_create_collation_v2(db, "jet_general", SQLITE_UTF8, nullptr, CollateGeneral, nullptr);
  for (const JetFunctionSpec& spec : kJetFunctions) {
    if (spec.aggregate) {
      if (const auto* f = FindAggregate(spec.name)) {
        Register(db, spec, f, pending, nullptr, AggregateStep, AggregateFinal);
      }
    } else if (std::string_view(spec.name) == "jet_like") {
      Register(db, spec, nullptr, pending, fn::LikeFunction, nullptr, nullptr);
    } else if (const auto* f = FindScalar(spec.name)) {
      Register(db, spec, f, pending, CallScalar, nullptr, nullptr);
    } else if (std::string_view name(spec.name); name.ends_with(kTextFormSuffix)) {
      if (const auto* base = FindScalar(name.substr(0, name.size() - kTextFormSuffix.size()))) {
        Register(db, spec, base, pending, CallScalarText, nullptr, nullptr);
      }
    }
  }
  auto like_data = std::make_unique<FunctionData>(FunctionData{nullptr, pending});
  sqlite3_create_function_v2(db, kLikeColumnFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                             like_data.release(), LikeColumnFunction, nullptr, nullptr,
                             DeleteFunctionData);
}

}  // namespace jetsql
