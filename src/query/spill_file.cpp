#include "query/spill_file.h"

#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "jet/error.h"

namespace query {

namespace {
constexpr const char* kNameTemplate = "quorla-XXXXXX.records";
}  // namespace

uint64_t SpillFile::Append(const std::byte* data, size_t size) {
  if (!file_.isOpen()) {
    file_.setFileTemplate(QDir::tempPath() + "/" + kNameTemplate);
    if (!file_.open()) throw errors::DiskIo();
  }
  const uint64_t at = end_;
  size_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pwrite(file_.handle(), data + done, size - done, static_cast<off_t>(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == ENOSPC) throw errors::DiskFull();
    if (n <= 0) throw errors::DiskIo();
    done += static_cast<size_t>(n);
  }
  end_ += size;
  return at;
}

bool SpillFile::ReadAt(uint64_t offset, std::byte* out, size_t size) const {
  if (!file_.isOpen()) return false;
  size_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pread(file_.handle(), out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

QString SpillFile::Path() const {
  return file_.isOpen() ? file_.fileName() : QString();
}

}  // namespace query
