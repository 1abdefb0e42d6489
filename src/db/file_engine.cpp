#include "db/file_engine.h"

#include "db/shared_databases.h"

namespace db {

void FileEngine::QueryInto(const std::string& path, const std::string& sql, jetsql::RowSink& sink,
                           const jetsql::CancelCheck& cancelled) {
  jetsql::RecordSet result = Query(path, sql, cancelled);
  sink.Fields(result.field_names, result.field_types);
  for (std::vector<jet::Value>& row : result.rows) {
    sink.Row(row);
    std::vector<jet::Value>().swap(row);
  }
}

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

void JetFileEngine::QueryInto(const std::string& path, const std::string& sql,
                              jetsql::RowSink& sink, const jetsql::CancelCheck& cancelled) {
  jetsql::Session session(SharedDatabase(path));
  if (cancelled) session.SetCancelCheck(cancelled);
  session.Query(sql, sink);
}

}  // namespace db
