#include "support/crash_harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <random>

#include "jet/env.h"
#include "jet/journal_format.h"

namespace testsupport {

CrashReport RunCrashRounds(CrashWorkload& workload, const std::string& path, int rounds,
                           uint32_t seed, int max_delay_us) {
  CrashReport report;
  workload.Prepare(path);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(
      0, workload.MaxDelayUs() > 0 ? workload.MaxDelayUs() : max_delay_us);
  uint64_t before = 0;
  for (int round = 0; round < rounds; ++round) {
    pid_t child = ::fork();
    if (child < 0) {
      report.failure = "fork failed";
      return report;
    }
    if (child == 0) {
      int code = 0;
      try {
        workload.Run(path);
      } catch (const std::exception&) {
        code = 3;
      }
      ::_exit(code);
    }
    ::usleep(static_cast<useconds_t>(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) {
      ++report.kills;
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      report.failure = "round " + std::to_string(round) + ": the workload failed by itself";
      return report;
    }
    if (jet::Env::Default().FileExists(jet::journal::PathFor(path))) ++report.hot_journals;
    uint64_t committed = 0;
    std::string problem;
    try {
      problem = workload.Verify(path, committed);
    } catch (const std::exception& e) {
      problem = std::string("reopening failed: ") + e.what();
    }
    if (problem.empty() && committed < before) {
      problem =
          "transactions lost: " + std::to_string(committed) + " after " + std::to_string(before);
    }
    if (!problem.empty()) {
      report.failure = "round " + std::to_string(round) + ": " + problem;
      return report;
    }
    before = committed;
    report.committed = committed;
  }
  return report;
}

}  // namespace testsupport
