#include "output.h"

#include <unistd.h>

#include <cerrno>

#include "jet/file.h"

namespace quorla_sql {

Output::Output() {
  buffer_.reserve(kFlushThreshold + kFlushThreshold / 4);
}

Output::~Output() {
  try {
    Flush();
  } catch (const jet::Error&) {
    // A destructor cannot report; main flushes explicitly before it returns.
  }
}

// Output errors carry the C library's errno as their number: no Jet error fits them.
void Output::Flush() {
  const char* p = buffer_.data();
  size_t left = buffer_.size();
  while (left > 0) {
    ssize_t n = ::write(STDOUT_FILENO, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      buffer_.clear();
      throw jet::IoFailure(e);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  buffer_.clear();
}

}  // namespace quorla_sql
