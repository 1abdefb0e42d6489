#ifndef QUORLA_TESTS_GUI_SUPPORT_WINDOW_FIXTURE_H_
#define QUORLA_TESTS_GUI_SUPPORT_WINDOW_FIXTURE_H_

#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/frmSQL.h"
#include "gui/support/fake_engine.h"
#include "gui/support/fake_platform.h"
#include "support/jet_samples.h"

namespace testing_gui {

// A main window wired to the doubles, which stay reachable through the pointers. It runs on the
// real engine, or on a fake one that the test keeps alive for as long as the window.
struct Window {
  FakeMessageBox* box = nullptr;
  FakeFileDialog* db_dialog = nullptr;
  FakeFileDialog* query_dialog = nullptr;
  std::unique_ptr<app::frmSQL> w;

  Window();
  explicit Window(FakeEngine& engine);
  explicit Window(std::shared_ptr<db::FileEngine> engine);
  app::frmSQL* operator->() { return w.get(); }
  // Lines of the last error box, or empty when none was shown.
  std::string LastBox() const {
    return box->shown.empty() ? std::string() : box->shown.back().text;
  }
  // Chooses `path` in the database dialog and runs "Datenbank" -> "Laden".
  void OpenDatabase(const std::string& path);
};

}  // namespace testing_gui

// In a Qt Test slot: a window `t` with a writable copy of the sample `relative` open, the copy's
// path in `path`. Skips only when the sample folder is absent; a missing sample fails.
#define OPEN_SAMPLE_COPY(t, relative)                                                          \
  if (!testsupport::HaveSamples()) QSKIP("no sample files at " QUORLA_SAMPLES_DIR);            \
  QTemporaryDir sample_dir_;                                                                   \
  const std::string path = sample_dir_.filePath(QFileInfo(relative).fileName()).toStdString(); \
  testsupport::CopySample(relative, path);                                                     \
  testing_gui::Window t;                                                                       \
  t.OpenDatabase(path)

#endif  // QUORLA_TESTS_GUI_SUPPORT_WINDOW_FIXTURE_H_
