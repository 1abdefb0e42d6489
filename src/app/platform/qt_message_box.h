#ifndef QUORLA_APP_PLATFORM_QT_MESSAGE_BOX_H_
#define QUORLA_APP_PLATFORM_QT_MESSAGE_BOX_H_

#include <QPointer>
#include <QWidget>

#include "app/platform/message_box.h"

namespace platform {

// The message box drawn by Qt, modal to its parent window.
class QtMessageBox : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Show(const std::string& text, int style, const std::string& title) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace platform

#endif  // QUORLA_APP_PLATFORM_QT_MESSAGE_BOX_H_
