#include "query/data_control.h"

#include "db/shared_databases.h"
#include "jet/error.h"

namespace query {

namespace {
DataControl::Runner& ProcessRunner() {
  static DataControl::Runner runner;
  return runner;
}

jetsql::RecordSet RunWithSession(const std::string& path, const std::string& sql) {
  jetsql::Session session(db::SharedDatabase(path));
  return session.Query(sql);
}
}  // namespace

void SetQueryRunner(DataControl::Runner runner) {
  ProcessRunner() = std::move(runner);
}

DataControl::DataControl(QWidget* parent) : QWidget(parent) {
  hide();
}

void DataControl::Refresh() {
  if (database_name_.empty()) {
    throw jet::Error(jet::err::kFileNotFound, "Datei '' nicht gefunden.");
  }
  jetsql::RecordSet result = ProcessRunner() ? ProcessRunner()(database_name_, record_source_)
                                             : RunWithSession(database_name_, record_source_);
  if (grid_) grid_->model_data().SetResult(std::move(result));
}

}  // namespace query
