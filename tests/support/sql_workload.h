#ifndef QUORLA_TESTS_SUPPORT_SQL_WORKLOAD_H_
#define QUORLA_TESTS_SUPPORT_SQL_WORKLOAD_H_

// A crash workload of SQL statements on a copy of a real Access file. The child runs the rest of
// a script through quorla-sql (a process of its own, fed the statements on standard input); each
// statement is one transaction. Prepare runs the script once, one statement at a time, on a
// reference copy and keeps a digest of the tables after each statement. After a kill the file
// must open (rolling back a half-done commit), its indexes must agree with its rows, and its
// tables must equal the reference after some prefix of the script no shorter than the one seen
// before; now and then mdbtools and mdb-reader must read it as quorla does. When the script has
// run through, the file starts again from its first state.
//
// The script's statements must each leave a different state (a marker of their own), so that
// the prefix a file holds is unambiguous; Prepare checks this.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "support/crash_harness.h"

namespace testsupport {

struct SqlWorkloadOptions {
  std::function<void(const std::string& path)> make_file;  // creates the first state
  std::vector<std::string> tables;  // those the script changes; empty: every user table, with
                                    // its definition (for scripts that change the schema)
  std::vector<std::string> script;  // one statement each
  int oracle_every = 50;            // compare with the readers after every n-th kill (0: never)
  int oracle_max = 6;               // at most this often, half of it after kills inside a commit
};

class SqlWorkload : public CrashWorkload {
 public:
  explicit SqlWorkload(SqlWorkloadOptions options) : options_(std::move(options)) {}

  // Throws std::runtime_error when a statement fails or leaves the state of the one before.
  void Prepare(const std::string& path) override;
  void Run(const std::string& path) override;
  std::string Verify(const std::string& path, uint64_t& committed) override;
  // Long enough for quorla-sql to start and run about two statements, as Prepare measured them
  // on this machine.
  int MaxDelayUs() const override { return static_cast<int>(2 * statement_us_); }

  // How often the readers were compared, and how many states the file went through whole.
  int oracle_checks() const { return oracle_checks_; }
  int cycles() const { return cycle_; }
  // What the child's quorla-sql last wrote to standard error.
  std::string ChildLog() const;

 private:
  std::string Check(const std::string& path, size_t& prefix);
  std::vector<std::string> TablesToCheck(jet::Database& db) const;
  std::string Digest(jet::Database& db) const;

  SqlWorkloadOptions options_;
  std::string start_path_;                 // the first state, to start over from
  std::vector<std::string> script_paths_;  // [k]: the statements from k on
  std::string log_path_;
  std::vector<std::string> states_;  // [k]: digest after the first k statements
  int64_t statement_us_ = 0;         // mean time of one statement with the start of quorla-sql
  size_t prefix_ = 0;                // statements the file holds in this cycle
  int cycle_ = 0;
  int verifies_ = 0;
  int oracle_checks_ = 0;
  int oracle_checks_hot_ = 0;
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_SQL_WORKLOAD_H_
