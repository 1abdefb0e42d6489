#ifndef QUORLA_DB_DATABASE_H_
#define QUORLA_DB_DATABASE_H_

#include <memory>
#include <string>

#include "db/file_engine.h"
#include "db/table_defs.h"
#include "jet/database.h"

namespace db {

// An open database file.
class Database {
 public:
  // `engine` reads the catalogue; `files` runs statements on the file.
  Database(std::string path, std::shared_ptr<jet::Database> engine,
           std::shared_ptr<FileEngine> files)
      : path_(std::move(path)), engine_(std::move(engine)), files_(std::move(files)) {}

  const std::string& Name() const { return path_; }

  // Runs one statement that returns no rows. Throws jet::Error when it cannot be run.
  void Execute(const std::string& text);

  // The catalogue of tables, read afresh on every call.
  db::TableDefs TableDefs();

 private:
  std::string path_;
  std::shared_ptr<jet::Database> engine_;
  std::shared_ptr<FileEngine> files_;
};

}  // namespace db

#endif  // QUORLA_DB_DATABASE_H_
