#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "error/errors.h"
#include "jet/env.h"
#include "jet/error.h"
#include "jet/file.h"
#include "jet/file_mapping.h"

namespace jet {
namespace {

[[noreturn]] void ThrowIoError(int error) {
  if (error == EDQUOT) throw IoFailure(ENOSPC);
  if (error == EROFS || error == EACCES || error == EPERM) throw errors::ReadOnly();
  throw IoFailure(error);
}

class PosixFile : public WritableFile {
 public:
  PosixFile(int fd, std::string path) : fd_(fd), path_(std::move(path)), mapping_(fd) {}
  ~PosixFile() override { ::close(fd_); }  // the mapping outlives the descriptor
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  // Asked of the file each time: another process may have changed it.
  uint64_t Size() const override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) ThrowIoError(errno);
    return static_cast<uint64_t>(st.st_size);
  }

  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    size_t done = 0;
    while (done < out.size()) {
      ssize_t n =
          ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowIoError(errno);
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  std::span<const uint8_t> Mapped(uint64_t offset, size_t length) override {
    return mapping_.Bytes(offset, length);
  }

  void Write(uint64_t offset, std::span<const uint8_t> bytes) override {
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                           static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowIoError(errno);
      }
      done += static_cast<size_t>(n);
    }
  }

  void Sync() override {
    if (::fdatasync(fd_) != 0) ThrowIoError(errno);
  }

  void Truncate(uint64_t size) override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) ThrowIoError(errno);
  }

 private:
  int fd_;
  std::string path_;
  FileMapping mapping_;
};

// Open-file-description locks: owned by the descriptor, not the process, so two handles in one
// process exclude each other and closing an unrelated descriptor keeps them.
class PosixRangeLocks : public RangeLocks {
 public:
  PosixRangeLocks(int fd, bool writable) : fd_(fd), writable_(writable) {}
  ~PosixRangeLocks() override { ::close(fd_); }
  PosixRangeLocks(const PosixRangeLocks&) = delete;
  PosixRangeLocks& operator=(const PosixRangeLocks&) = delete;

  bool TryLock(uint64_t offset, uint64_t length, LockMode mode) override {
    if (mode == LockMode::kExclusive && !writable_) throw errors::ReadOnly();
    struct flock lock {};
    lock.l_type = mode == LockMode::kShared ? F_RDLCK : F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = static_cast<off_t>(length);
    while (::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EACCES) return false;
      ThrowIoError(errno);
    }
    return true;
  }

  void Unlock(uint64_t offset, uint64_t length) override {
    struct flock lock {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = static_cast<off_t>(length);
    ::fcntl(fd_, F_OFD_SETLK, &lock);
  }

 private:
  int fd_;
  bool writable_;
};

std::unique_ptr<PosixFile> OpenPosixFile(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      throw errors::FileNotFound(path);
    }
    if ((flags & O_RDWR) != 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
      throw errors::ReadOnly();
    }
    throw errors::UnrecognizedFormat(path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw errors::UnrecognizedFormat(path);
  }
  return std::make_unique<PosixFile>(fd, path);
}

class PosixEnv : public Env {
 public:
  std::unique_ptr<RandomAccessFile> OpenReadable(const std::string& path) override {
    return OpenPosixFile(path, O_RDONLY);
  }

  std::unique_ptr<WritableFile> OpenWritable(const std::string& path) override {
    return OpenPosixFile(path, O_RDWR);
  }

  std::unique_ptr<WritableFile> CreateWritable(const std::string& path) override {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) ThrowIoError(errno);
    return std::make_unique<PosixFile>(fd, path);
  }

  bool FileExists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
  }

  void RemoveFile(const std::string& path) override {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) ThrowIoError(errno);
  }

  void SyncDirectory(const std::string& dir) override {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowIoError(errno);
    int rc = ::fsync(fd);
    int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all; their files are as durable as they get.
    if (rc != 0 && error != EINVAL && error != ENOTSUP) ThrowIoError(error);
  }

  std::unique_ptr<RangeLocks> OpenLocks(const std::string& path) override {
    bool writable = true;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EROFS || errno == EACCES || errno == EPERM)) {
      writable = false;
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
      if (errno == ENOENT) throw errors::FileNotFound(path);
      ThrowIoError(errno);
    }
    return std::make_unique<PosixRangeLocks>(fd, writable);
  }

  FileStamp Stamp(const std::string& path) override {
    struct stat st {};
    FileStamp stamp;
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    return stamp;
  }

  void AdvanceStamp(const std::string& path, const FileStamp& before) override {
    FileStamp now = Stamp(path);
    if (now != before || !now.exists) return;
    int64_t next = now.mtime_ns + 1;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = next / 1000000000;
    times[1].tv_nsec = next % 1000000000;
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);  // needs ownership; else the clock must do
  }

  std::string MachineName() override {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
  }
};

}  // namespace

Env& Env::Default() {
  static PosixEnv env;
  return env;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace jet
