#ifndef QUORLA_TESTS_SUPPORT_PROCESS_H_
#define QUORLA_TESTS_SUPPORT_PROCESS_H_

// Runs another program (an oracle, or our own command-line tool) and captures what it prints.

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessResult {
  int exit_code = -1;  // -1 when it could not start or died from a signal
  std::string out;
  std::string err;
};

// Runs argv[0] (looked up in PATH) with the extra environment variables `env` (NAME=value).
ProcessResult RunProcess(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env = {});

// What the program prints on standard output, or nullopt when it cannot start or fails.
std::optional<std::string> OutputOf(const std::vector<std::string>& argv,
                                    const std::vector<std::string>& env = {});

// Starts `body` in a forked child process, whose exit code is its return value (99 if it throws).
pid_t Spawn(const std::function<int()>& body);

// Waits for the child; its exit code, or -1 when it died from a signal.
int Wait(pid_t child);

// Whether a program of that name is in PATH.
bool HaveProgram(const std::string& name);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_PROCESS_H_
