#ifndef QUORLA_TESTS_SUPPORT_CRASH_HARNESS_H_
#define QUORLA_TESTS_SUPPORT_CRASH_HARNESS_H_

// Kills a writer at random moments and checks what it leaves behind. A workload prepares a
// database, runs transactions against it in a child process until killed, and afterwards checks
// that every transaction is there entirely or not at all.

#include <cstdint>
#include <string>

namespace testsupport {

class CrashWorkload {
 public:
  virtual ~CrashWorkload() = default;
  // Creates the database at `path`.
  virtual void Prepare(const std::string& path) = 0;
  // Runs transactions against `path` (in the child; an exception ends it with a failure code).
  virtual void Run(const std::string& path) = 0;
  // Opens `path` as after a crash and checks it. Returns "" when it is whole, else what is wrong;
  // `committed` is how many transactions it holds.
  virtual std::string Verify(const std::string& path, uint64_t& committed) = 0;
  // Once prepared: the longest delay before a kill that is worth waiting, in microseconds, when
  // the workload knows it better than the caller (0: the caller's).
  virtual int MaxDelayUs() const { return 0; }
};

struct CrashReport {
  int kills = 0;           // children killed while running
  int hot_journals = 0;    // kills that left a journal behind (in the middle of a commit)
  uint64_t committed = 0;  // transactions in the file at the end
  std::string failure;     // "" when every check passed
};

// `rounds` times: starts the workload in a child, kills it with SIGKILL after a random delay of
// up to `max_delay_us` (or the workload's MaxDelayUs), and verifies the file (which must never lose
// a transaction it showed before). Stops at the first failure.
CrashReport RunCrashRounds(CrashWorkload& workload, const std::string& path, int rounds,
                           uint32_t seed, int max_delay_us);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_CRASH_HARNESS_H_
