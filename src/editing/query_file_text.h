#ifndef QUORLA_EDITING_TEXT_CODEC_H_
#define QUORLA_EDITING_TEXT_CODEC_H_

#include <QByteArray>
#include <QString>

namespace editing {

// Query files are 8-bit text in Windows-1252 as long as every character fits; text that does
// not fit is written as UTF-8, and a file that is valid UTF-8 is read as such.
QString DecodeQueryText(const QByteArray& bytes);
QByteArray EncodeQueryText(const QString& text);

}  // namespace editing

#endif  // QUORLA_EDITING_TEXT_CODEC_H_
