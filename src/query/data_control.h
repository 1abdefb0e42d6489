#ifndef QUORLA_QUERY_DATA_CONTROL_H_
#define QUORLA_QUERY_DATA_CONTROL_H_

#include <QWidget>
#include <memory>
#include <string>

#include "db/file_engine.h"
#include "query/flex_grid.h"

namespace query {

// The data source behind the result grid. It opens the file named by DatabaseName over a
// connection of its own (separate from the window's database handle), runs RecordSource and
// loads the records into the bound grid. It has no visible face.
class DataControl : public QWidget {
  Q_OBJECT

 public:
  // `engine` runs the statements.
  explicit DataControl(std::shared_ptr<db::FileEngine> engine, QWidget* parent = nullptr);

  const std::string& Connect() const { return connect_; }
  void SetConnect(std::string c) { connect_ = std::move(c); }
  const std::string& DatabaseName() const { return database_name_; }
  void SetDatabaseName(std::string path) { database_name_ = std::move(path); }
  const std::string& RecordSource() const { return record_source_; }
  void SetRecordSource(std::string sql) { record_source_ = std::move(sql); }

  void Bind(FlexGrid* grid) { grid_ = grid; }
  // How many bytes of a result's records stay in memory; the rest wait in a temporary file.
  void SetMemoryBudget(size_t bytes) { memory_budget_ = bytes; }

  // Runs RecordSource against DatabaseName and shows the rows in the bound grid, the first ones
  // while the statement still runs (query/result_load.h). While it runs the window repaints
  // and Esc stops it with 3059 (query/cancel_watch.h). Throws jet::Error (no database named,
  // a statement that returns no rows, a syntax error, Esc, ...); then the grid shows again what
  // it showed before.
  void Refresh();

 private:
  std::shared_ptr<db::FileEngine> engine_;
  std::string connect_;
  std::string database_name_;
  std::string record_source_;
  FlexGrid* grid_ = nullptr;
  size_t memory_budget_ = RecordStore::kDefaultMemoryBudget;
};

}  // namespace query

#endif  // QUORLA_QUERY_DATA_CONTROL_H_
