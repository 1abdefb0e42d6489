#ifndef QUORLA_TESTS_GUI_SUPPORT_FAKE_ENGINE_H_
#define QUORLA_TESTS_GUI_SUPPORT_FAKE_ENGINE_H_

// Stand-ins for the engine's catalogue and for the data source's statements, for tests of the
// window's own logic (system-object mask, catalogue order, captions, error paths).

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

// While alive, the process's engine opens files from `files` and the data source answers
// statements through `runner`; restores the real ones when destroyed.
class FakeEngine {
 public:
  FakeEngine();
  ~FakeEngine();
  FakeFiles files;
  std::function<jetsql::RecordSet(const std::string& path, const std::string& sql)> runner;
  // Runs action statements; unset, they go to the real engine.
  std::function<void(const std::string& path, const std::string& sql)> executor;
  int opens = 0;
};

// A record set with the given field names and `rows` rows of Long values.
jetsql::RecordSet LongRows(std::vector<std::string> names, int rows);

}  // namespace testing_gui

#endif  // QUORLA_TESTS_GUI_SUPPORT_FAKE_ENGINE_H_
