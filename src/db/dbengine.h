#ifndef QUORLA_DB_DBENGINE_H_
#define QUORLA_DB_DBENGINE_H_

// The database engine as the window uses it: one engine object that opens database files into
// reference-counted Database handles. A handle holds its file open until the last copy is
// released; nothing is ever closed explicitly.

#include <functional>
#include <memory>
#include <string>

#include "db/database.h"

namespace db {

class DBEngine {
 public:
  // How a file becomes an engine database; the real engine unless replaced.
  using Opener = std::function<std::unique_ptr<jet::Database>(const std::string& path)>;

  explicit DBEngine(Opener opener = {});

  // Opens the file shared and read/write with the engine's defaults. Throws jet::Error.
  std::shared_ptr<Database> OpenDatabase(const std::string& name);

 private:
  Opener opener_;
};

// The process's engine object, created on first use.
DBEngine& Engine();
// Replaces how the process's engine opens files (tests); an empty opener restores the real one.
void SetEngineOpener(DBEngine::Opener opener);

// How Database::Execute runs a statement on a file; a Jet SQL session unless replaced.
using Executor = std::function<void(const std::string& path, const std::string& text)>;
// Replaces it for the process (tests); an empty executor restores the real one.
void SetStatementExecutor(Executor executor);
const Executor& StatementExecutor();

}  // namespace db

#endif  // QUORLA_DB_DBENGINE_H_
