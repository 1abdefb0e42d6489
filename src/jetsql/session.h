#ifndef QUORLA_JETSQL_SESSION_H_
#define QUORLA_JETSQL_SESSION_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jetsql {

struct PivotValue;
struct Statement;

// The result of a row-returning statement: field names, their Jet types and the rows.
struct RecordSet {
  std::vector<std::string> field_names;
  std::vector<jet::ColumnType> field_types;
  std::vector<std::vector<jet::Value>> rows;
};

// Receives a row-returning statement's result as it is read: the fields first, then each row.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void Fields(const std::vector<std::string>& names,
                      const std::vector<jet::ColumnType>& types) = 0;
  // `row` is valid only during the call.
  virtual void Row(std::vector<jet::Value>& row) = 0;
};

// Asked now and then while a statement runs; true stops it.
using CancelCheck = std::function<bool()>;

// One connection to a database file that runs Jet SQL.
class Session {
 public:
  enum class Mode { kReadOnly, kReadWrite };
  // Opens the file; throws jet::Error as jet::Database::Open does. kReadWrite opens it for
  // writing where the engine can, and read-only otherwise (changes then fail with 3027).
  explicit Session(const std::string& path, Mode mode = Mode::kReadOnly);
  // Runs on a database that is already open (shared with other users of the same file).
  explicit Session(std::shared_ptr<jet::Database> db);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // From now on, statements ask `cancelled` every few thousand steps of their work; when it
  // answers true the statement stops with 3059 and changes nothing. An exception it throws
  // stops the statement too and comes out of it.
  void SetCancelCheck(CancelCheck cancelled);

  // Runs a row-returning statement. A statement that returns no rows fails without running.
  RecordSet Query(const std::string& sql);
  // The same, handing each row to `sink` as SQLite produces it, so that memory stays bounded
  // whatever the size of the result.
  void Query(const std::string& sql, RowSink& sink);
  // Runs a statement that returns no rows: INSERT, UPDATE, DELETE or data definition
  // (ddl/execute_ddl.h), all of whose changes take effect or none. Returns the number of records
  // it added, changed or deleted (0 for data definition). A SELECT fails with 3065.
  int64_t Execute(const std::string& sql);

 private:
  struct Connection;  // the SQLite side: connection and the virtual tables made so far
  // The (value, name) rows of a crosstab's probe query.
  std::vector<PivotValue> ProbePivot(const std::string& sql);
  // SELECT ... INTO table: creates the table and fills it in one statement.
  int64_t ExecuteMakeTable(Statement stmt, const std::string& table);
  void ReadRows(const std::string& sql, const std::vector<jet::ColumnType>& types, RowSink& sink);
  std::vector<std::vector<jet::Value>> ReadAllRows(const std::string& sql,
                                                   const std::vector<jet::ColumnType>& types);

  static int OnProgress(void* session);

  std::shared_ptr<jet::Database> db_;
  std::unique_ptr<Connection> sqlite_;
  CancelCheck cancelled_;
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_SESSION_H_
