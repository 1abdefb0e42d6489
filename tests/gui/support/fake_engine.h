#ifndef QUORLA_TESTS_GUI_SUPPORT_FAKE_ENGINE_H_
#define QUORLA_TESTS_GUI_SUPPORT_FAKE_ENGINE_H_

// Stand-ins for the engine's catalogue and for the data source's statements, for tests of the
// window's own logic (system-object mask, catalogue order, captions, error paths).

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/file_engine.h"
#include "jet/database.h"
#include "jetsql/session.h"

namespace testing_gui {

struct FakeTable {
  std::string name;
  uint32_t attributes = 0;
  std::vector<std::string> fields;
};

// Catalogues by file path; a path not present fails to open with 3343.
using FakeFiles = std::map<std::string, std::vector<FakeTable>>;

// An engine for windows under test: catalogues come from `files`, row-returning statements are
// answered by `runner`, action statements by `executor`.
class FakeEngine : public db::FileEngine {
 public:
  FakeFiles files;
  std::function<jetsql::RecordSet(const std::string& path, const std::string& sql)> runner;
  // Unset, action statements fail as on a file that cannot be written.
  std::function<void(const std::string& path, const std::string& sql)> executor;
  int opens = 0;

  std::shared_ptr<jet::Database> Open(const std::string& path) override;
  void Execute(const std::string& path, const std::string& sql) override;
  // Hands `cancelled` to the runner's statement through `cancel_check` while it runs.
  jetsql::RecordSet Query(const std::string& path, const std::string& sql,
                          const jetsql::CancelCheck& cancelled) override;
  // When set, answers row-returning statements row by row in place of `runner`, with
  // `cancelled` in `cancel_check` while it runs.
  std::function<void(const std::string& path, const std::string& sql, jetsql::RowSink& sink)>
      streamer;
  void QueryInto(const std::string& path, const std::string& sql, jetsql::RowSink& sink,
                 const jetsql::CancelCheck& cancelled) override;
  jetsql::CancelCheck cancel_check;
};

// A record set with the given field names and `rows` rows of Long values.
jetsql::RecordSet LongRows(std::vector<std::string> names, int rows);

}  // namespace testing_gui

#endif  // QUORLA_TESTS_GUI_SUPPORT_FAKE_ENGINE_H_
