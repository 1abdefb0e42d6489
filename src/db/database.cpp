#include "db/database.h"

namespace db {

void Database::Execute(const std::string& text) {
  files_->Execute(path_, text);
}

db::TableDefs Database::TableDefs() {
  return db::TableDefs(engine_, engine_->Tables());
}

}  // namespace db
