#include "db/database.h"

#include "db/dbengine.h"
#include "jetsql/session.h"

namespace db {

void Database::Execute(const std::string& text) {
  if (const Executor& replaced = StatementExecutor()) {
    replaced(path_, text);
    return;
  }
  jetsql::Session session(path_);
  session.Execute(text);
}

db::TableDefs Database::TableDefs() {
  return db::TableDefs(engine_, engine_->Tables());
}

}  // namespace db
