#include <QApplication>

#include "app/frmSQL.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app::frmSQL window;
  window.show();
  return app.exec();
}
