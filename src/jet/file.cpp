#include "jet/file.h"

#include <cerrno>

#include "error/errors.h"
#include "jet/env.h"

namespace jet {

Error IoFailure(int error_number) {
  return error_number == ENOSPC ? errors::DiskFull() : errors::DiskIo();
}

std::unique_ptr<RandomAccessFile> OpenFile(const std::string& path) {
  return Env::Default().OpenReadable(path);
}

std::unique_ptr<WritableFile> OpenFileForWriting(const std::string& path) {
  return Env::Default().OpenWritable(path);
}

}  // namespace jet
