#include "db/file_engine.h"

#include "db/shared_databases.h"

namespace db {

std::shared_ptr<jet::Database> JetFileEngine::Open(const std::string& path) {
  return SharedDatabase(path);
}

void JetFileEngine::Execute(const std::string& path, const std::string& sql) {
  jetsql::Session session(SharedDatabase(path));
  session.Execute(sql);
}

jetsql::RecordSet JetFileEngine::Query(const std::string& path, const std::string& sql,
                                       const jetsql::CancelCheck& cancelled) {
  jetsql::Session session(SharedDatabase(path));
  if (cancelled) session.SetCancelCheck(cancelled);
  return session.Query(sql);
}

}  // namespace db
