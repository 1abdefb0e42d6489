#ifndef QUORLA_JETSQL_CALLBACK_ERROR_H_
#define QUORLA_JETSQL_CALLBACK_ERROR_H_

// Errors raised inside our SQLite callbacks (functions, aggregates, the virtual table). SQLite
// carries only a text back to the caller of sqlite3_step; the error itself waits in the
// connection's PendingError until the failed call rethrows it with its number and description.
// Every callback catches every exception: none may unwind through SQLite.

#include <sqlite3.h>

#include <optional>

#include "jet/error.h"

namespace jetsql {

class PendingError {
 public:
  // Keeps the first error of a statement; later ones are its consequences.
  void Keep(const jet::Error& error) {
    if (!error_) error_ = error;
  }
  std::optional<jet::Error> Take() {
    std::optional<jet::Error> e = std::move(error_);
    error_.reset();
    return e;
  }

 private:
  std::optional<jet::Error> error_;
};

// What every function RegisterJetFunctions registers finds in sqlite3_user_data.
struct FunctionData {
  const void* definition;  // the function's fn::ScalarFunction or fn::AggregateFunction
  PendingError* pending;   // null: the error travels as its description alone
};

// The exception being handled, as the program's error: a jet::Error unchanged, anything else an
// internal error with its text. Call only inside a catch block.
jet::Error CurrentError();

// Fails a function call with `error`, keeping it for the caller of sqlite3_step.
void FailCall(sqlite3_context* ctx, const jet::Error& error);

// Fails a function call with the exception being handled (out of memory as SQLite's own). Call
// only inside a catch block.
void FailCallWithCurrentException(sqlite3_context* ctx);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_CALLBACK_ERROR_H_
