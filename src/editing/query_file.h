#ifndef QUORLA_EDITING_QUERY_FILE_H_
#define QUORLA_EDITING_QUERY_FILE_H_

#include <QString>
#include <optional>
#include <string>

namespace editing {

// A query file opened for reading line by line, like a sequential input channel. A file that
// cannot be opened or read counts as being at its end, so a read loop always ends.
class QueryFileReader {
 public:
  explicit QueryFileReader(const std::string& path);
  bool AtEnd() const { return pos_ >= text_.size(); }
  // The next line without its line ending (CR LF, CR, or LF alone). Empty at the end.
  QString ReadLine();

 private:
  QString text_;
  qsizetype pos_ = 0;
};

// Replaces the file with `text` followed by CR LF. Returns false when it cannot be written.
bool WriteQueryFile(const std::string& path, const QString& text);

// The line ending written after the text and appended after each line read.
inline constexpr const char* kLineEnd = "\r\n";

}  // namespace editing

#endif  // QUORLA_EDITING_QUERY_FILE_H_
