#include "app/platform/qt_file_dialog.h"

#include <QFileDialog>

namespace platform {

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    const QString& desc = parts[i];
    out << (desc.contains("(" + patterns + ")") ? desc : desc + " (" + patterns + ")");
  }
  return out;
}

std::optional<std::string> QtFileDialog::Present(Mode mode) {
  QFileDialog dialog(parent_, QString::fromStdString(DialogTitle()));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(mode == Mode::kOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  if (mode == Mode::kOpen) {
    dialog.setFileMode((Flags() & kOfnFileMustExist) ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(Flags() & kOfnOverwritePrompt));
  }
  const QStringList filters = QtNameFilters(Filter());
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!DefaultExt().empty()) dialog.setDefaultSuffix(QString::fromStdString(DefaultExt()));
  if (!FileName().empty()) dialog.selectFile(QString::fromStdString(FileName()));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.first().toStdString();
}

}  // namespace platform
