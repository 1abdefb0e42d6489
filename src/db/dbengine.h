#ifndef QUORLA_DB_DBENGINE_H_
#define QUORLA_DB_DBENGINE_H_

// The database engine as the window uses it: one engine object that opens database files into
// reference-counted Database handles. A handle holds its file open until the last copy is
// released; nothing is ever closed explicitly.

#include <memory>
#include <string>

#include "db/database.h"
#include "db/file_engine.h"

namespace db {

class DBEngine {
 public:
  explicit DBEngine(std::shared_ptr<FileEngine> files = std::make_shared<JetFileEngine>());

  // Opens the file shared and read/write with the engine's defaults. Throws jet::Error.
  std::shared_ptr<Database> OpenDatabase(const std::string& name);

 private:
  std::shared_ptr<FileEngine> files_;
};

}  // namespace db

#endif  // QUORLA_DB_DBENGINE_H_
