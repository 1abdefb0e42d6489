#ifndef QUORLA_TESTS_SUPPORT_JET_SAMPLES_H_
#define QUORLA_TESTS_SUPPORT_JET_SAMPLES_H_

// The real Access files the engine tests read (never copied into the project), and small helpers
// around them: listing, reading into memory, running the mdbtools command-line readers.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorla_test {

// The samples folder, or "" when it is absent (tests then skip).
std::string JetSamplesDir();

// Paths of the .mdb files directly in `subfolder` ("jet3", "jet4", ...), sorted.
std::vector<std::string> JetSampleFiles(const std::string& subfolder);

std::vector<uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A fresh temporary directory, removed at process exit is not promised: callers clean up.
std::string MakeTempDir();

// Runs a shell command and returns its standard output, or nullopt when it cannot run or exits
// with a nonzero status.
std::optional<std::string> RunCommand(const std::string& command);

// Whether an mdbtools program is on the PATH.
bool HaveProgram(const std::string& name);

std::string ShellQuote(const std::string& s);

}  // namespace quorla_test

#endif  // QUORLA_TESTS_SUPPORT_JET_SAMPLES_H_
