#include "editing/query_file.h"

#include <QFile>

#include "editing/query_file_text.h"

namespace editing {

QueryFileReader::QueryFileReader(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return;
  text_ = DecodeQueryText(bytes);
}

QString QueryFileReader::ReadLine() {
  if (AtEnd()) return QString();
  qsizetype end = pos_;
  while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
  QString line = text_.mid(pos_, end - pos_);
  if (end < text_.size() && text_[end] == '\r') ++end;
  if (end < text_.size() && text_[end] == '\n') ++end;
  pos_ = end;
  return line;
}

bool WriteQueryFile(const std::string& path, const QString& text) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QByteArray bytes = EncodeQueryText(text + kLineEnd);
  return file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace editing
