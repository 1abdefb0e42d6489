#ifndef QUORLA_QUERY_DATA_CONTROL_H_
#define QUORLA_QUERY_DATA_CONTROL_H_

#include <QWidget>
#include <functional>
#include <string>

#include "jetsql/session.h"
#include "query/flex_grid.h"

namespace query {

// The data source behind the result grid. It opens the file named by DatabaseName over a
// connection of its own (separate from the window's database handle), runs RecordSource and
// loads the records into the bound grid. It has no visible face.
class DataControl : public QWidget {
  Q_OBJECT

 public:
  // Runs a row-returning statement against a file; a fresh connection per call unless replaced.
  using Runner = std::function<jetsql::RecordSet(const std::string& path, const std::string& sql)>;

  explicit DataControl(QWidget* parent = nullptr);

  const std::string& Connect() const { return connect_; }
  void SetConnect(std::string c) { connect_ = std::move(c); }
  const std::string& DatabaseName() const { return database_name_; }
  void SetDatabaseName(std::string path) { database_name_ = std::move(path); }
  const std::string& RecordSource() const { return record_source_; }
  void SetRecordSource(std::string sql) { record_source_ = std::move(sql); }

  void Bind(FlexGrid* grid) { grid_ = grid; }

  // Runs RecordSource against DatabaseName and shows the rows in the bound grid. Throws
  // jet::Error (no database named, a statement that returns no rows, a syntax error, ...);
  // then the grid keeps what it showed.
  void Refresh();

 private:
  std::string connect_;
  std::string database_name_;
  std::string record_source_;
  FlexGrid* grid_ = nullptr;
};

// Replaces how every data control runs its statements (tests); empty restores the real one.
void SetQueryRunner(DataControl::Runner runner);

}  // namespace query

#endif  // QUORLA_QUERY_DATA_CONTROL_H_
