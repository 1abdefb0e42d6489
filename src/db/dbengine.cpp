#include "db/dbengine.h"

namespace db {

DBEngine::DBEngine(std::shared_ptr<FileEngine> files) : files_(std::move(files)) {}

std::shared_ptr<Database> DBEngine::OpenDatabase(const std::string& name) {
  std::shared_ptr<jet::Database> catalogue = files_->Open(name);
  return std::make_shared<Database>(name, std::move(catalogue), files_);
}

}  // namespace db
