#include "jet/file.h"

#include "jet/env.h"

namespace jet {

std::unique_ptr<RandomAccessFile> OpenFile(const std::string& path) {
  return Env::Default().OpenReadable(path);
}

std::unique_ptr<WritableFile> OpenFileForWriting(const std::string& path) {
  return Env::Default().OpenWritable(path);
}

}  // namespace jet
