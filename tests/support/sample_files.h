#ifndef QUORLA_TESTS_SUPPORT_SAMPLE_FILES_H_
#define QUORLA_TESTS_SUPPORT_SAMPLE_FILES_H_

// The real Access files under QUORLA_SAMPLES_DIR that tests read (never copy, never write).

#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

struct SampleFile {
  std::string path;
  std::string folder;  // "jet3" or "jet4"
  std::string stem;    // file name without .mdb
  bool jet3() const { return folder == "jet3"; }
};

// Test names show the file, not its bytes.
void PrintTo(const SampleFile& file, std::ostream* os);

// Every .mdb in the given folders of QUORLA_SAMPLES_DIR, sorted; empty when the folder is absent.
std::vector<SampleFile> SampleFiles(const std::vector<std::string>& folders);

// Whether QUORLA_SAMPLES_DIR exists at all.
bool HaveSamples();

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_SAMPLE_FILES_H_
