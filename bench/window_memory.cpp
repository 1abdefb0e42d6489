// The window's memory over repeated runs of one statement: the process's resident set after
// each run, and its peak at the end, in MiB. Each new result must give back the memory of the
// one it replaces, so the figure after the last run should match the one after the first; and
// records beyond a few MB wait on disk, so the peak hardly depends on the size of the result.
//
// Usage: window_memory FILE.mdb RUNS [STATEMENT] [--screenshot OUT.png]
// Between runs the grid is scrolled to its bottom-right cell, as a user reading the result
// would leave it. With --screenshot the screen is saved after the last run.

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/frmSQL.h"
#include "db/file_engine.h"

namespace {

constexpr const char* kDefaultStatement = "select * from orders";

// The database dialog, answered with one path.
class ChosenFile : public platform::FileDialog {
 public:
  explicit ChosenFile(std::string path) : path_(std::move(path)) {}

 protected:
  std::optional<std::string> Present(Mode) override { return path_; }

 private:
  std::string path_;
};

// Error boxes are printed instead of shown; any box makes the run fail.
class PrintedBox : public platform::MessageBox {
 public:
  bool shown = false;
  void Show(const std::string& text, int, const std::string&) override {
    std::fprintf(stderr, "error box: %s\n", text.c_str());
    shown = true;
  }
};

// A figure of /proc/self/status in MiB: VmRSS the resident set, VmHWM its peak.
double StatusMiB(const char* key) {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  QTextStream in(&status);
  for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
    if (line.startsWith(key)) {
      return line.section(':', 1).trimmed().section(' ', 0, 0).toDouble() / 1024.0;
    }
  }
  return -1;
}

double ResidentMiB() {
  return StatusMiB("VmRSS:");
}

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments();
  QString screenshot;
  if (const auto at = args.indexOf("--screenshot"); at > 0 && at + 1 < args.size()) {
    screenshot = args[at + 1];
    args.remove(at, 2);
  }
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: window_memory FILE.mdb RUNS [STATEMENT] [--screenshot OUT]\n");
    return 2;
  }
  const std::string path = args[1].toStdString();
  const int runs = args[2].toInt();
  const QString statement = args.size() > 3 ? args[3] : QString(kDefaultStatement);

  auto box = std::make_unique<PrintedBox>();
  PrintedBox* errors = box.get();
  app::Platform platform;
  platform.message_box = std::move(box);
  platform.std_db = std::make_unique<ChosenFile>(path);
  app::frmSQL window(std::make_shared<db::JetFileEngine>(), std::move(platform));
  if (!screenshot.isEmpty()) window.resize(1000, 700);
  window.show();
  Settle();
  window.mnu_Datenbank_Click(app::kMenuLaden);
  window.txtSQL->SetText(statement);
  Settle();
  std::printf("before  %8.1f MiB\n", ResidentMiB());

  for (int run = 1; run <= runs && !errors->shown; ++run) {
    if (run > 1) {
      query::FlexGrid* grid = window.fgridQuery;
      grid->setCurrentIndex(
          grid->model()->index(grid->model()->rowCount() - 1, grid->model()->columnCount() - 1));
      grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
      grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
      Settle();
    }
    window.cmdQuery_Click();
    Settle();
    std::printf("run %-3d %8.1f MiB  %s\n", run, ResidentMiB(),
                window.lblGridSize->text().toStdString().c_str());
    std::fflush(stdout);
  }
  std::printf("peak    %8.1f MiB\n", StatusMiB("VmHWM:"));
  if (!screenshot.isEmpty()) {
    window.fgridQuery->setFocus();
    Settle();
    window.screen()->grabWindow(0).save(screenshot);
  }
  return errors->shown ? 1 : 0;
}
