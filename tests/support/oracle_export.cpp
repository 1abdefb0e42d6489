#include "support/oracle_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include <unistd.h>

namespace testsupport {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxReportedFields = 12;  // per table, so that one bad column stays readable
const char kDateFormat[] = "%Y-%m-%d %H:%M:%S";

// mdbtools needs the code page of Jet 3 text: the file does not record it.
std::vector<std::string> MdbEnv(const SampleFile& file) {
  if (file.jet3()) return {"MDB_JET3_CHARSET=cp1252"};
  return {};
}

// Parses a CSV text, failing the test on malformed CSV.
std::vector<CsvRow> Parse(const std::string& csv, const std::string& who) {
  std::string error;
  std::vector<CsvRow> rows = ParseCsv(csv, &error);
  EXPECT_EQ(error, "") << who << " schreibt kein gültiges CSV";
  return rows;
}

// Compares our rows (header first) with an oracle's, field by field.
void CompareRows(const SampleFile& file, const std::string& table, const std::vector<CsvRow>& ours,
                 const std::vector<CsvRow>& theirs, const std::vector<std::string>& types,
                 Oracle oracle) {
  const std::string where =
      file.folder + "/" + file.stem + ".mdb, Tabelle " + table + ", " + OracleName(oracle);
  ASSERT_FALSE(ours.empty()) << where << ": keine Kopfzeile";
  ASSERT_FALSE(theirs.empty()) << where << ": keine Kopfzeile beim Orakel";
  std::vector<std::string> our_names;
  std::vector<std::string> their_names;
  for (const auto& f : ours[0]) our_names.push_back(f.text);
  for (const auto& f : theirs[0]) their_names.push_back(f.text);
  ASSERT_EQ(our_names, their_names) << where << ": Feldnamen";
  ASSERT_EQ(types.size(), our_names.size()) << where << ": Typen von mdb-reader";
  EXPECT_EQ(ours.size(), theirs.size()) << where << ": Zeilenzahl (mit Kopfzeile)";

  auto same = [&](const CsvRow& a, const CsvRow& b) {
    if (a.size() != b.size()) return false;
    for (size_t c = 0; c < a.size(); ++c) {
      if (!CompareField(a[c], b[c], types[c], oracle, file.jet3()).empty()) return false;
    }
    return true;
  };
  // The readers list a moved row where its data lies, we at its first address: rows are paired
  // in order, and a row out of place with the first equal row out of place on the other side.
  std::vector<size_t> our_left;
  std::vector<size_t> their_left;
  auto take = [&](std::vector<size_t>& left, const std::vector<CsvRow>& side, const CsvRow& row,
                  bool row_is_ours) {
    for (auto it = left.begin(); it != left.end(); ++it) {
      if (row_is_ours ? same(row, side[*it]) : same(side[*it], row)) {
        left.erase(it);
        return true;
      }
    }
    return false;
  };
  size_t i = 1;
  size_t j = 1;
  while (i < ours.size() || j < theirs.size()) {
    if (i < ours.size() && j < theirs.size() && same(ours[i], theirs[j])) {
      ++i;
      ++j;
    } else if (j < theirs.size() && take(our_left, ours, theirs[j], false)) {
      ++j;
    } else if (i < ours.size() && take(their_left, theirs, ours[i], true)) {
      ++i;
    } else {
      if (i < ours.size()) our_left.push_back(i++);
      if (j < theirs.size()) their_left.push_back(j++);
    }
  }

  int reported = 0;
  int more = 0;
  for (size_t k = 0; k < std::min(our_left.size(), their_left.size()); ++k) {
    const CsvRow& a = ours[our_left[k]];
    const CsvRow& b = theirs[their_left[k]];
    size_t r = our_left[k];
    if (a.size() != b.size()) {
      ADD_FAILURE() << where << ", Zeile " << r << ": " << a.size() << " Felder, " << b.size()
                    << " beim Orakel\n  ours:   " << FormatRow(a).substr(0, 300)
                    << "\n  oracle: " << FormatRow(b).substr(0, 300);
      continue;
    }
    for (size_t c = 0; c < a.size(); ++c) {
      std::string diff = CompareField(a[c], b[c], types[c], oracle, file.jet3());
      if (diff.empty()) continue;
      if (reported++ < kMaxReportedFields) {
        ADD_FAILURE() << where << ", Zeile " << r << ", Feld " << our_names[c] << " (" << types[c]
                      << "): " << diff;
      } else {
        ++more;
      }
    }
  }
  if (more > 0) ADD_FAILURE() << where << ": und " << more << " weitere abweichende Felder";
}

}  // namespace

std::string QuorlaSqlProgram() {
  return std::string(QUORLA_BUILD_DIR) + "/tools/quorla-sql";
}

ProcessResult QuorlaSql(std::vector<std::string> args) {
  args.insert(args.begin(), QuorlaSqlProgram());
  return RunProcess(args);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string OraclesMissing() {
  for (const char* tool : {"mdb-tables", "mdb-export", "node"}) {
    if (!HaveProgram(tool)) return std::string(tool) + " fehlt (scripts/deps test)";
  }
  if (!fs::exists(fs::path(QUORLA_ORACLE_DIR) / "node_modules" / "mdb-reader")) {
    return "mdb-reader fehlt: (cd tests/oracle && npm ci)";
  }
  return "";
}

std::string OracleSkipReason() {
  if (!HaveSamples()) return std::string("no sample files at ") + QUORLA_SAMPLES_DIR;
  return OraclesMissing();
}

MdbReaderExport::MdbReaderExport(const SampleFile& file) {
  static int serial = 0;
  dir_ = fs::temp_directory_path() / ("quorla-oracle-" + std::to_string(::getpid()) + "-" +
                                      std::to_string(serial++) + "-" + file.stem);
  fs::remove_all(dir_);
  result_ = RunProcess({"node", std::string(QUORLA_ORACLE_DIR) + "/mdb_reader_export.mjs",
                        file.path, dir_.string()});
  if (ok()) tables_ = Lines(ReadTextFile(dir_ / "tables.txt"));
}

MdbReaderExport::~MdbReaderExport() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

int MdbReaderExport::IndexOf(const std::string& table) const {
  for (size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i] == table) return static_cast<int>(i);
  }
  return -1;
}

std::string MdbReaderExport::Csv(int n) const {
  return ReadTextFile(dir_ / (std::to_string(n) + ".csv"));
}

std::vector<std::string> MdbReaderExport::Types(int n) const {
  return Lines(ReadTextFile(dir_ / (std::to_string(n) + ".types")));
}

std::string MdbReaderExport::TableError(int n) const {
  fs::path p = dir_ / (std::to_string(n) + ".error");
  return fs::exists(p) ? ReadTextFile(p) : "";
}

std::vector<std::string> MdbTables(const SampleFile& file) {
  auto r = RunProcess({"mdb-tables", "-1", file.path}, MdbEnv(file));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  return Lines(r.out);
}

void CompareTablesWithOracles(const SampleFile& file, const std::vector<std::string>& tables) {
  MdbReaderExport reader(file);
  ASSERT_TRUE(reader.ok()) << reader.error();
  for (const std::string& table : tables) {
    SCOPED_TRACE("Tabelle " + table);
    auto ours = RunProcess({QuorlaSqlProgram(), file.path, "--export", table});
    EXPECT_EQ(ours.exit_code, 0) << "quorla-sql --export " << table << ": " << ours.err;
    if (ours.exit_code != 0) continue;
    std::vector<CsvRow> our_rows = Parse(ours.out, "quorla-sql");

    int n = reader.IndexOf(table);
    ASSERT_GE(n, 0) << "mdb-reader kennt die Tabelle " << table << " nicht";
    // mdb-reader refuses whole tables with a column of type 0x11 (only the system table
    // MSysAccessObjects has one, which is never exported here); any other refusal fails.
    ASSERT_EQ(reader.TableError(n), "") << "mdb-reader: " << table;
    std::vector<std::string> types = reader.Types(n);
    CompareRows(file, table, our_rows, Parse(reader.Csv(n), "mdb-reader"), types,
                Oracle::kMdbReader);

    // mdbtools 1.0 takes the format of Date/Time values from -T; -D alone leaves them in its
    // default form (orders-100k.mdb: "11/15/06 16:27:16"), so both are given. The header line is
    // kept (no -H): it is compared with ours like the rows.
    auto mdb = RunProcess({"mdb-export", "-0", "NULL", "-b", "hex", "-D", kDateFormat, "-T",
                           kDateFormat, file.path, table},
                          MdbEnv(file));
    ASSERT_EQ(mdb.exit_code, 0) << mdb.err;
    CompareRows(file, table, our_rows, Parse(mdb.out, "mdb-export"), types, Oracle::kMdbExport);
  }
}

}  // namespace testsupport
