#ifndef QUORLA_DB_DATABASE_H_
#define QUORLA_DB_DATABASE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "db/table_defs.h"
#include "jet/database.h"

namespace db {

// An open database file.
class Database {
 public:
  Database(std::string path, std::shared_ptr<jet::Database> engine)
      : path_(std::move(path)), engine_(std::move(engine)) {}

  const std::string& Name() const { return path_; }

  // Runs one statement that returns no rows. Throws jet::Error when it cannot be run; a
  // statement that fails changes nothing.
  void Execute(const std::string& text);
  // The number of records the last Execute added, changed or deleted.
  int64_t RecordsAffected() const { return records_affected_; }

  // The catalogue of tables, read afresh on every call.
  db::TableDefs TableDefs();

 private:
  std::string path_;
  std::shared_ptr<jet::Database> engine_;
  int64_t records_affected_ = 0;
};

}  // namespace db

#endif  // QUORLA_DB_DATABASE_H_
