#ifndef QUORLA_TESTS_GUI_SUPPORT_FAKE_PLATFORM_H_
#define QUORLA_TESTS_GUI_SUPPORT_FAKE_PLATFORM_H_

// Test doubles for the message box and the file dialog: the box records what it was asked to
// show; the dialog answers from a queue of scripted choices and records every setting.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/file_dialog.h"
#include "app/platform/message_box.h"

namespace testing_gui {

struct ShownBox {
  std::string text;
  int style = 0;
  std::string title;
  int pointer_when_shown = -1;
};

class FakeMessageBox : public platform::MessageBox {
 public:
  // Read when a box is shown, e.g. the window's mouse pointer.
  std::function<int()> pointer_probe;
  std::vector<ShownBox> shown;

  void Show(const std::string& text, int style, const std::string& title) override {
    shown.push_back({text, style, title, pointer_probe ? pointer_probe() : -1});
  }
};

class FakeFileDialog : public platform::FileDialog {
 public:
  // Each showing takes the next answer: a path, or nullopt for cancel. No answer left: cancel.
  std::deque<std::optional<std::string>> answers;
  // Every setting and showing, in order: "Filter=...", "Flags=4100", "ShowOpen", ...
  std::vector<std::string> log;
  int shown = 0;

  void SetFilter(const std::string& v) override {
    log.push_back("Filter=" + v);
    FileDialog::SetFilter(v);
  }
  void SetFlags(int32_t v) override {
    log.push_back("Flags=" + std::to_string(v));
    FileDialog::SetFlags(v);
  }
  void SetCancelError(bool v) override {
    log.push_back(std::string("CancelError=") + (v ? "true" : "false"));
    FileDialog::SetCancelError(v);
  }
  void SetDialogTitle(const std::string& v) override {
    log.push_back("DialogTitle=" + v);
    FileDialog::SetDialogTitle(v);
  }
  void SetDefaultExt(const std::string& v) override {
    log.push_back("DefaultExt=" + v);
    FileDialog::SetDefaultExt(v);
  }
  void SetFileName(const std::string& v) override {
    log.push_back("FileName=" + v);
    FileDialog::SetFileName(v);
  }
  // The file name the dialog offered when last shown.
  std::string offered;

 protected:
  std::optional<std::string> Present(Mode mode) override {
    log.push_back(mode == Mode::kOpen ? "ShowOpen" : "ShowSave");
    offered = FileName();
    ++shown;
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace testing_gui

#endif  // QUORLA_TESTS_GUI_SUPPORT_FAKE_PLATFORM_H_
