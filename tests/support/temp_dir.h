#ifndef QUORLA_TESTS_SUPPORT_TEMP_DIR_H_
#define QUORLA_TESTS_SUPPORT_TEMP_DIR_H_

// A temporary folder removed with everything in it at the end of the scope.

#include <filesystem>
#include <string>

#include "support/jet_samples.h"

namespace testsupport {

class TempDir {
 public:
  TempDir() : path_(quorla_test::MakeTempDir()) {}
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
