#ifndef QUORLA_TOOLS_QUORLA_SQL_OUTPUT_H_
#define QUORLA_TOOLS_QUORLA_SQL_OUTPUT_H_

// Buffered standard output: callers append to buffer() and call MaybeFlush() after each line, so
// a table of any size streams out with one reused buffer.

#include <cstddef>
#include <string>

namespace quorla_sql {

class Output {
 public:
  Output();
  ~Output();  // flushes
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  std::string& buffer() { return buffer_; }
  void MaybeFlush() {
    if (buffer_.size() >= kFlushThreshold) Flush();
  }
  // Writes everything buffered; throws jet::Error when standard output refuses it.
  void Flush();

 private:
  static constexpr size_t kFlushThreshold = 256 * 1024;
  std::string buffer_;
};

}  // namespace quorla_sql

#endif  // QUORLA_TOOLS_QUORLA_SQL_OUTPUT_H_
