#ifndef QUORLA_TESTS_GUI_SUPPORT_FAKE_PLATFORM_H_
#define QUORLA_TESTS_GUI_SUPPORT_FAKE_PLATFORM_H_

// Test doubles for the message box and the file dialog: the box records what it was asked to
// show; the dialog answers from a queue of scripted choices and records the name it offered.

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
  int shown = 0;
  // The file name the dialog offered when last shown.
  std::string offered;

 protected:
  std::optional<std::string> Present(Mode) override {
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
