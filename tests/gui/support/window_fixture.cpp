#include "gui/support/window_fixture.h"

#include "db/dbengine.h"

namespace testing_gui {

Window::Window() : Window(std::make_shared<db::JetFileEngine>()) {}

// The test owns the fake; the window only borrows it.
Window::Window(FakeEngine& engine)
    : Window(std::shared_ptr<db::FileEngine>(std::shared_ptr<void>(), &engine)) {}

Window::Window(std::shared_ptr<db::FileEngine> engine) {
  auto b = std::make_unique<FakeMessageBox>();
  auto d = std::make_unique<FakeFileDialog>();
  auto q = std::make_unique<FakeFileDialog>();
  box = b.get();
  db_dialog = d.get();
  query_dialog = q.get();
  app::Platform p;
  p.message_box = std::move(b);
  p.std_db = std::move(d);
  p.std_abfrage = std::move(q);
  w = std::make_unique<app::frmSQL>(std::move(engine), std::move(p));
  box->pointer_probe = [this] { return w->MousePointer(); };
}

void Window::OpenDatabase(const std::string& path) {
  db_dialog->answers.push_back(path);
  w->mnu_Datenbank_Click(app::kMenuLaden);
}

}  // namespace testing_gui
