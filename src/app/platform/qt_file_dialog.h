#ifndef QUORLA_APP_PLATFORM_QT_FILE_DIALOG_H_
#define QUORLA_APP_PLATFORM_QT_FILE_DIALOG_H_

#include <QPointer>
#include <QWidget>

#include "app/platform/file_dialog.h"

namespace platform {

// The common file dialog drawn by Qt.
class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

 protected:
  std::optional<std::string> Present(Mode mode) override;

 private:
  QPointer<QWidget> parent_;
};

// "desc|pattern|desc|pattern" as Qt name filters ("desc (pattern)").
QStringList QtNameFilters(const std::string& filter);

}  // namespace platform

#endif  // QUORLA_APP_PLATFORM_QT_FILE_DIALOG_H_
