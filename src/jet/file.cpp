#include "jet/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "error/errors.h"

namespace jet {
namespace {

constexpr int32_t kReadOnly = 3027;
constexpr const char* kReadOnlyText =
    "Aktualisieren nicht möglich. Datenbank oder Objekt ist schreibgeschützt.";

class PosixFile : public WritableFile {
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

  void Write(uint64_t offset, std::span<const uint8_t> bytes) override {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                           static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowIoError();
      }
      done += static_cast<size_t>(n);
    }
    size_ = std::max<uint64_t>(size_, offset + bytes.size());
  }

  void Sync() override {
    if (::fdatasync(fd_) != 0) ThrowIoError();
  }

  void Truncate(uint64_t size) override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) ThrowIoError();
    size_ = size;
  }

 private:
  [[noreturn]] void ThrowIoError() const { throw IoFailure(errno); }

  int fd_;
  uint64_t size_;
  std::string path_;
};

std::unique_ptr<WritableFile> OpenPosixFile(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      throw errors::FileNotFound(path);
    }
    if ((flags & O_RDWR) != 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
      throw Error(kReadOnly, kReadOnlyText);
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

}  // namespace

Error IoFailure(int error_number) {
  return error_number == ENOSPC ? errors::DiskFull() : errors::DiskIo();
}

std::unique_ptr<RandomAccessFile> OpenFile(const std::string& path) {
  return OpenPosixFile(path, O_RDONLY);
}

std::unique_ptr<WritableFile> OpenFileForWriting(const std::string& path) {
  return OpenPosixFile(path, O_RDWR);
}

}  // namespace jet
