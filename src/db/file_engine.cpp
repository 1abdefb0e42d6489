#include "db/file_engine.h"

namespace db {

std::unique_ptr<jet::Database> JetFileEngine::Open(const std::string& path) {
  return jet::Database::Open(path);
}

void JetFileEngine::Execute(const std::string& path, const std::string& sql) {
  jetsql::Session session(path);
  session.Execute(sql);
}

jetsql::RecordSet JetFileEngine::Query(const std::string& path, const std::string& sql) {
  jetsql::Session session(path);
  return session.Query(sql);
}

}  // namespace db
