#include "support/sql_workload.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

#include "jet/database.h"
#include "jet/env.h"
#include "jet/journal_format.h"
#include "support/oracle_export.h"
#include "support/process.h"
#include "support/table_check.h"

namespace testsupport {
namespace {

namespace fs = std::filesystem;

void CopyFile(const std::string& from, const std::string& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

}  // namespace

std::vector<std::string> SqlWorkload::TablesToCheck(jet::Database& db) const {
  if (!options_.tables.empty()) return options_.tables;
  std::vector<std::string> tables;
  for (const jet::CatalogEntry& e : db.Tables()) {
    if (!e.system) tables.push_back(e.name);
  }
  return tables;
}

std::string SqlWorkload::Digest(jet::Database& db) const {
  return options_.tables.empty() ? DatabaseDigest(db) : TablesDigest(db, options_.tables);
}

void SqlWorkload::Prepare(const std::string& path) {
  options_.make_file(path);
  start_path_ = path + ".start";
  log_path_ = path + ".log";
  CopyFile(path, start_path_);

  // Scripts for starting at each statement.
  const size_t n = options_.script.size();
  script_paths_.clear();
  for (size_t k = 0; k < n; ++k) {
    script_paths_.push_back(path + ".script" + std::to_string(k));
    std::ofstream out(script_paths_.back(), std::ios::binary);
    for (size_t i = k; i < n; ++i) out << options_.script[i] << ";\n";
  }

  // The reference: each statement by itself, the tables' digest after each.
  const std::string reference = path + ".reference";
  CopyFile(path, reference);
  states_.clear();
  std::set<std::string> seen;
  auto record = [&](size_t after) {
    auto db = jet::Database::Open(reference);
    states_.push_back(Digest(*db));
    if (!seen.insert(states_.back()).second) {
      throw std::runtime_error("statement " + std::to_string(after) +
                               " leaves the state of one before it: " + states_.back());
    }
  };
  record(0);
  std::chrono::steady_clock::duration spent{};
  for (size_t i = 0; i < n; ++i) {
    const auto start = std::chrono::steady_clock::now();
    ProcessResult r = RunProcess({QuorlaSqlProgram(), reference, options_.script[i]});
    spent += std::chrono::steady_clock::now() - start;
    if (r.exit_code != 0) {
      throw std::runtime_error("statement " + std::to_string(i + 1) + " fails: " + r.err + "\n" +
                               options_.script[i].substr(0, 300));
    }
    record(i + 1);
  }
  fs::remove(reference);
  statement_us_ =
      std::chrono::duration_cast<std::chrono::microseconds>(spent).count() / std::max<size_t>(n, 1);
  prefix_ = 0;
  cycle_ = 0;
}

void SqlWorkload::Run(const std::string& path) {
  // In the child: becomes quorla-sql running the statements the file does not hold yet.
  if (prefix_ >= script_paths_.size()) return;
  int in = ::open(script_paths_[prefix_].c_str(), O_RDONLY);
  int out = ::open("/dev/null", O_WRONLY);
  int log = ::open(log_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || log < 0) throw std::runtime_error("cannot open the child's files");
  ::dup2(in, STDIN_FILENO);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(log, STDERR_FILENO);
  std::string program = QuorlaSqlProgram();
  std::string file = path;
  char* argv[] = {program.data(), file.data(), nullptr};
  ::execv(program.c_str(), argv);
  throw std::runtime_error("cannot start " + program);
}

std::string SqlWorkload::ChildLog() const {
  return ReadTextFile(log_path_);
}

std::string SqlWorkload::Check(const std::string& path, size_t& prefix) {
  auto db = jet::Database::Open(path);
  if (jet::Env::Default().FileExists(jet::journal::PathFor(path))) {
    return "journal left after opening";
  }
  for (const std::string& table : TablesToCheck(*db)) {
    std::string problems = CheckTableIndexes(*db, path, table);
    if (!problems.empty()) return problems;
  }
  const std::string state = Digest(*db);
  for (size_t k = prefix_; k < states_.size(); ++k) {
    if (states_[k] == state) {
      prefix = k;
      return "";
    }
  }
  for (size_t k = 0; k < prefix_; ++k) {
    if (states_[k] == state) {
      return "the state after statement " + std::to_string(k) + ", but " + std::to_string(prefix_) +
             " were there before";
    }
  }
  return "the state after no prefix of the script (" + std::to_string(prefix_) +
         " statements were there before): " + state;
}

std::string SqlWorkload::Verify(const std::string& path, uint64_t& committed) {
  ++verifies_;
  const bool hot = jet::Env::Default().FileExists(jet::journal::PathFor(path));
  size_t prefix = 0;
  std::string problem = Check(path, prefix);
  if (!problem.empty()) return problem;

  const bool due = options_.oracle_every > 0 && verifies_ % options_.oracle_every == 0;
  const bool hot_due = hot && oracle_checks_hot_ < options_.oracle_max / 2;
  if ((due || hot_due) && oracle_checks_ < options_.oracle_max && OraclesMissing().empty()) {
    ++oracle_checks_;
    if (hot) ++oracle_checks_hot_;
    const bool failed_before = ::testing::Test::HasFailure();
    std::vector<std::string> tables;
    {
      auto db = jet::Database::Open(path);
      tables = TablesToCheck(*db);
    }
    CompareTablesWithOracles({path, "jet4", fs::path(path).stem().string()}, tables);
    if (!failed_before && ::testing::Test::HasFailure()) {
      return "the readers disagree after statement " + std::to_string(prefix);
    }
  }

  committed = static_cast<uint64_t>(cycle_) * options_.script.size() + prefix;
  prefix_ = prefix;
  if (prefix_ == options_.script.size()) {
    // Through the script: start again from the first state.
    CopyFile(start_path_, path);
    ++cycle_;
    prefix_ = 0;
  }
  return "";
}

}  // namespace testsupport
