#include "jetsql/callback_error.h"

#include <exception>
#include <new>

namespace jetsql {

jet::Error CurrentError() {
  try {
    throw;
  } catch (const jet::Error& e) {
    return e;
  } catch (const std::exception& e) {
    return errors::Internal(e.what());
  } catch (...) {
    return errors::Internal("unbekannte Ausnahme");
  }
}

void FailCall(sqlite3_context* ctx, const jet::Error& error) {
  const auto* data = static_cast<const FunctionData*>(sqlite3_user_data(ctx));
  if (data && data->pending) data->pending->Keep(error);
  sqlite3_result_error(ctx, error.description().c_str(),
                       static_cast<int>(error.description().size()));
}

void FailCallWithCurrentException(sqlite3_context* ctx) {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  } catch (...) {
    FailCall(ctx, CurrentError());
  }
}

}  // namespace jetsql
