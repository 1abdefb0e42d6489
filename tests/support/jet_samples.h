#ifndef QUORLA_TESTS_SUPPORT_JET_SAMPLES_H_
#define QUORLA_TESTS_SUPPORT_JET_SAMPLES_H_

// The real Access files under QUORLA_SAMPLES_DIR that the tests read (never written: tests change
// writable copies in temporary folders), and whole-file reads and writes around them.

#include <cstdint>
#include <filesystem>
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

// Whether QUORLA_SAMPLES_DIR exists at all (tests that need it skip when it does not).
bool HaveSamples();

// Skips the running test (or fixture) when QUORLA_SAMPLES_DIR is absent.
#define REQUIRE_SAMPLES() \
  if (!testsupport::HaveSamples()) GTEST_SKIP() << "no sample files at " << QUORLA_SAMPLES_DIR

// The path of `relative` (e.g. "jet4/testV2003.mdb") under QUORLA_SAMPLES_DIR.
std::string SamplePath(const std::string& relative);

// Every .mdb in the given folders of QUORLA_SAMPLES_DIR, sorted; empty when the folder is absent.
std::vector<SampleFile> SampleFiles(const std::vector<std::string>& folders);

// Copies the sample `relative` (e.g. "jet4/testV2003.mdb") to `path`, writable. Throws
// std::runtime_error when the sample is missing.
void CopySample(const std::string& relative, const std::string& path);

// A copy at `path` of jet4/test2V2003.mdb, a file Access wrote, whose one table MSP_PROJECTS
// (73 columns of most types, nine memos, an OLE column, unique indexes on PROJ_ID and PROJ_NAME)
// is filled up from its one row to kProjectRows: PROJ_ID 1 to kProjectRows, memos of
// PROJ_PROP_AUTHOR Null, short, on one page and chained, the OLE value of the first row on every
// tenth row. Small enough to check after every change. Made once per process, copied from then on.
void CopyProjects(const std::string& path);

inline constexpr int kProjectRows = 200;

std::vector<uint8_t> ReadWholeFile(const std::string& path);
std::string ReadTextFile(const std::filesystem::path& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_JET_SAMPLES_H_
