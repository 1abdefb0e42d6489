#include "jet/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "error/errors.h"

namespace jet {
namespace {

class PosixFile : public RandomAccessFile {
 public:
  PosixFile(int fd, uint64_t size, std::string path)
      : fd_(fd), size_(size), path_(std::move(path)) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  uint64_t Size() const override { return size_; }

  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    size_t done = 0;
    while (done < out.size()) {
      ssize_t n =
          ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw IoFailure(errno);
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
  uint64_t size_;
  std::string path_;
};

}  // namespace

Error IoFailure(int error_number) {
  return error_number == ENOSPC ? errors::DiskFull() : errors::DiskIo();
}

std::unique_ptr<RandomAccessFile> OpenFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      throw errors::FileNotFound(path);
    }
    throw errors::UnrecognizedFormat(path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw errors::UnrecognizedFormat(path);
  }
  return std::make_unique<PosixFile>(fd, static_cast<uint64_t>(st.st_size), path);
}

}  // namespace jet
