#include "db/database.h"

#include "db/dbengine.h"
#include "jetsql/session.h"

namespace db {

void Database::Execute(const std::string& text) {
  if (const Executor& replaced = StatementExecutor()) {
    replaced(path_, text);
    return;
  }
  // On the database this handle holds, which the window's data control shares.
  jetsql::Session session(engine_);
  records_affected_ = session.Execute(text);
}

db::TableDefs Database::TableDefs() {
  return db::TableDefs(engine_, engine_->Tables());
}

}  // namespace db
