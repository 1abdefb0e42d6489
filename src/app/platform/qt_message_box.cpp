#include "app/platform/qt_message_box.h"

#include <QMessageBox>

namespace platform {

namespace {
constexpr int kIconMask = 0x70;
constexpr int kQuestion = 32;
constexpr int kExclamation = 48;
constexpr int kInformation = 64;

QMessageBox::Icon IconOf(int style) {
  switch (style & kIconMask) {
    case kCritical:
      return QMessageBox::Critical;
    case kQuestion:
      return QMessageBox::Question;
    case kExclamation:
      return QMessageBox::Warning;
    case kInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}
}  // namespace

void QtMessageBox::Show(const std::string& text, int style, const std::string& title) {
  QString body = QString::fromStdString(text);
  body.replace("\r\n", "\n");
  QMessageBox box(IconOf(style), QString::fromStdString(title), body, QMessageBox::Ok, parent_);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

}  // namespace platform
