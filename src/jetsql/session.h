#ifndef QUORLA_JETSQL_SESSION_H_
#define QUORLA_JETSQL_SESSION_H_

#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jetsql {

// The result of a row-returning statement: field names, their Jet types and the rows.
struct RecordSet {
  std::vector<std::string> field_names;
  std::vector<jet::ColumnType> field_types;
  std::vector<std::vector<jet::Value>> rows;
};

// One connection to a database file that runs Jet SQL.
class Session {
 public:
  // Opens the file; throws jet::Error as jet::Database::Open does.
  explicit Session(const std::string& path);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Runs a row-returning statement. A statement that returns no rows fails without running.
  RecordSet Query(const std::string& sql);
  // Runs a statement that returns no rows (DDL or DML).
  void Execute(const std::string& sql);

 private:
  struct Connection;  // the SQLite side: connection and the virtual tables made so far
  std::unique_ptr<jet::Database> db_;
  std::unique_ptr<Connection> sqlite_;
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_SESSION_H_
