#include "db/dbengine.h"

#include "db/shared_databases.h"

namespace db {

namespace {
DBEngine::Opener& ProcessOpener() {
  static DBEngine::Opener opener;
  return opener;
}
}  // namespace

DBEngine::DBEngine(Opener opener) : opener_(std::move(opener)) {}

std::shared_ptr<Database> DBEngine::OpenDatabase(const std::string& name) {
  std::shared_ptr<jet::Database> engine;
  if (opener_) {
    engine = opener_(name);
  } else if (ProcessOpener()) {
    engine = ProcessOpener()(name);
  } else {
    engine = SharedDatabase(name);
  }
  return std::make_shared<Database>(name, std::move(engine));
}

DBEngine& Engine() {
  static DBEngine engine;
  return engine;
}

void SetEngineOpener(DBEngine::Opener opener) {
  ProcessOpener() = std::move(opener);
}

namespace {
Executor& ProcessExecutor() {
  static Executor executor;
  return executor;
}
}  // namespace

void SetStatementExecutor(Executor executor) {
  ProcessExecutor() = std::move(executor);
}
const Executor& StatementExecutor() {
  return ProcessExecutor();
}

}  // namespace db
