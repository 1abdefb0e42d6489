#ifndef QUORLA_DB_FILE_ENGINE_H_
#define QUORLA_DB_FILE_ENGINE_H_

// What the program needs of the database engine, for a file named by its path: its catalogue,
// statements that return no rows, and statements that return rows. The window and its data
// source are handed one of these; they never reach the engine any other way.

#include <memory>
#include <string>

#include "jet/database.h"
#include "jetsql/session.h"

namespace db {

class FileEngine {
 public:
  virtual ~FileEngine() = default;

  // Opens the file for its catalogue. Throws jet::Error.
  virtual std::shared_ptr<jet::Database> Open(const std::string& path) = 0;
  // Runs one statement that returns no rows on the file. Throws jet::Error.
  virtual void Execute(const std::string& path, const std::string& sql) = 0;
  // Runs one row-returning statement on the file over a connection of its own, asking
  // `cancelled` (when set) now and then whether to stop with 3059. Throws jet::Error.
  virtual jetsql::RecordSet Query(const std::string& path, const std::string& sql,
                                  const jetsql::CancelCheck& cancelled) = 0;
  // The same, handing the fields and then each row to `sink` as they are read, so that the
  // caller decides what to keep. By default runs Query and hands its rows over.
  virtual void QueryInto(const std::string& path, const std::string& sql, jetsql::RowSink& sink,
                         const jetsql::CancelCheck& cancelled);
};

// The real engine: one open database per file shared by every caller (db/shared_databases.h),
// a fresh Jet SQL session per statement.
class JetFileEngine final : public FileEngine {
 public:
  std::shared_ptr<jet::Database> Open(const std::string& path) override;
  void Execute(const std::string& path, const std::string& sql) override;
  jetsql::RecordSet Query(const std::string& path, const std::string& sql,
                          const jetsql::CancelCheck& cancelled) override;
  void QueryInto(const std::string& path, const std::string& sql, jetsql::RowSink& sink,
                 const jetsql::CancelCheck& cancelled) override;
};

}  // namespace db

#endif  // QUORLA_DB_FILE_ENGINE_H_
