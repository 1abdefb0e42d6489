#include "support/sample_files.h"

#include <algorithm>
#include <filesystem>

namespace testsupport {

namespace fs = std::filesystem;

std::vector<SampleFile> SampleFiles(const std::vector<std::string>& folders) {
  std::vector<SampleFile> files;
  for (const std::string& folder : folders) {
    std::error_code ec;
    fs::path dir = fs::path(QUORLA_SAMPLES_DIR) / folder;
    if (!fs::is_directory(dir, ec)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
      if (entry.path().extension() != ".mdb") continue;
      files.push_back({entry.path().string(), folder, entry.path().stem().string()});
    }
  }
  std::sort(files.begin(), files.end(),
            [](const SampleFile& a, const SampleFile& b) { return a.path < b.path; });
  return files;
}

void PrintTo(const SampleFile& file, std::ostream* os) {
  *os << file.folder << "/" << file.stem;
}

bool HaveSamples() {
  std::error_code ec;
  return fs::is_directory(QUORLA_SAMPLES_DIR, ec);
}

}  // namespace testsupport
