#ifndef QUORLA_TESTS_SUPPORT_ORACLE_EXPORT_H_
#define QUORLA_TESTS_SUPPORT_ORACLE_EXPORT_H_

// A file's tables as quorla-sql exports them, compared with the independent readers: mdbtools
// (mdb-tables, mdb-export) and mdb-reader (node, tests/oracle/mdb_reader_export.mjs). Used on the
// sample files and on copies the engine has written to.

#include <filesystem>
#include <string>
#include <vector>

#include "support/csv.h"
#include "support/jet_samples.h"
#include "support/oracle_fields.h"
#include "support/process.h"

namespace testsupport {

std::vector<std::string> Lines(const std::string& text);

// The command-line tool of this build.
std::string QuorlaSqlProgram();
// Runs that tool with `args`.
ProcessResult QuorlaSql(std::vector<std::string> args);

// Why the oracles cannot run here (a missing program or npm package), or "".
std::string OraclesMissing();

// Why tests that change copies of the samples and read them back cannot run here (no samples,
// a missing reader), or "".
std::string OracleSkipReason();

// mdb-reader's export of one file, made once into a temporary folder.
class MdbReaderExport {
 public:
  explicit MdbReaderExport(const SampleFile& file);
  ~MdbReaderExport();
  bool ok() const { return result_.exit_code == 0; }
  const std::string& error() const { return result_.err; }
  const std::vector<std::string>& tables() const { return tables_; }
  int IndexOf(const std::string& table) const;
  std::string Csv(int n) const;
  std::vector<std::string> Types(int n) const;
  std::string TableError(int n) const;

 private:
  std::filesystem::path dir_;
  ProcessResult result_;
  std::vector<std::string> tables_;
};

// mdb-tables -1 of the file.
std::vector<std::string> MdbTables(const SampleFile& file);

// Exports each of `tables` with quorla-sql, mdb-export and mdb-reader and compares them field by
// field, adding a gtest failure for each difference.
void CompareTablesWithOracles(const SampleFile& file, const std::vector<std::string>& tables);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_ORACLE_EXPORT_H_
