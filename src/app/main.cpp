#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "app/frmSQL.h"
#include "db/file_engine.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The window speaks German; so do Qt's own dialogs when their translation is installed.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QLocale::German), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  app::frmSQL window(std::make_shared<db::JetFileEngine>());
  window.show();
  return app.exec();
}
