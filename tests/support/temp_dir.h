#ifndef QUORLA_TESTS_SUPPORT_TEMP_DIR_H_
#define QUORLA_TESTS_SUPPORT_TEMP_DIR_H_

// A temporary folder removed with everything in it at the end of the scope.

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/jet_samples.h"

namespace testsupport {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorla-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_TEMP_DIR_H_
