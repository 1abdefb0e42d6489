#ifndef QUORLA_TESTS_SUPPORT_ORACLE_FILE_TEST_H_
#define QUORLA_TESTS_SUPPORT_ORACLE_FILE_TEST_H_

// The set-up shared by the tests that change files through quorla and read them back with the
// independent readers: skips when the samples or the readers are missing, copies samples or makes
// new files in a temporary folder, runs statements and checks what the file then holds.
//
// Header-only: the support folder is built into every test program, and only some link jetsql.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/header.h"
#include "jet/index_check.h"
#include "jet/memory_file.h"
#include "jet/pager.h"
#include "jetsql/session.h"
#include "support/error_of.h"
#include "support/jet_samples.h"
#include "support/oracle_export.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace testsupport {

class OracleFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string why = OracleSkipReason(); !why.empty()) GTEST_SKIP() << why;
  }

  // A writable copy of the sample at `relative` (to the samples folder) in the temporary folder.
  std::string Copy(const std::string& relative) {
    const std::string path = dir_.File(std::filesystem::path(relative).filename().string());
    CopySample(relative, path);
    return path;
  }

  // A new, empty database made by quorla-sql --create, as a user makes one.
  static ProcessResult Create(const std::string& path) { return QuorlaSql({"--create", path}); }

  // The number of the error `sql` fails with, or 0 when it runs.
  static int32_t ErrorOf(jetsql::Session& s, const std::string& sql) {
    return testsupport::ErrorOf([&] { s.Execute(sql); });
  }

  // The first field of the first row, a Long (Count(*) and the like).
  static int64_t Count(jetsql::Session& s, const std::string& sql) {
    return std::get<int32_t>(s.Query(sql).rows.at(0).at(0));
  }

  // Runs `sql` on the file at `path`; it must fail with `number` and leave the file's bytes as
  // they were. Returns the error's description.
  static std::string ExpectRefused(const std::string& path, const std::string& sql,
                                   int32_t number) {
    SCOPED_TRACE(sql);
    const auto bytes = testsupport::ReadWholeFile(path);
    std::string description;
    {
      jetsql::Session s(path, jetsql::Session::Mode::kReadWrite);
      try {
        s.Execute(sql);
        ADD_FAILURE() << "not refused";
      } catch (const jet::Error& e) {
        EXPECT_EQ(e.number(), number) << e.description();
        description = e.description();
      }
    }
    EXPECT_EQ(testsupport::ReadWholeFile(path), bytes) << "a refused statement changed the file";
    return description;
  }

  // Every index of every local table (system tables too) is a sound tree.
  static void CheckEveryIndex(const std::string& path) {
    std::vector<uint8_t> bytes = testsupport::ReadWholeFile(path);
    jet::Header header;
    ASSERT_EQ(jet::ParseHeader(bytes, header), jet::HeaderVerdict::kJet);
    auto db = jet::Database::Open(path);
    auto file = jet::NewMemoryFile(bytes);
    jet::Pager pager(*file, nullptr, header.page_size, header.database_key);
    for (const jet::CatalogEntry& t : db->Tables()) {
      if (t.linked) continue;
      for (const jet::IndexDef& index : db->GetTableDef(t.name)->indexes) {
        jet::IndexCheckResult check = jet::CheckIndex(pager, header.version, index.root_page);
        EXPECT_TRUE(check.problems.empty())
            << t.name << "." << index.name << ": " << check.problems.front();
      }
    }
  }

  // What an mdbtools program prints; a failure to run fails the test.
  static std::string Mdb(const std::vector<std::string>& argv) {
    std::optional<std::string> out = OutputOf(argv);
    EXPECT_TRUE(out.has_value()) << testing::PrintToString(argv);
    return out.value_or("");
  }

  // mdb-schema's definition of `table` (all tables when empty).
  static std::string Schema(const std::string& path, const std::string& table) {
    if (table.empty()) return Mdb({"mdb-schema", path});
    return Mdb({"mdb-schema", "-T", table, path});
  }

  TempDir dir_;
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_ORACLE_FILE_TEST_H_
