// Index pages of real Access files: every leaf page decodes into ordered entries that point at
// data pages, and the keys Access stored are exactly the keys we encode for the rows that
// mdb-export reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "jet/index_key.h"
#include "jet/index_page.h"
#include "jet/index_tree.h"
#include "support/csv.h"
#include "support/process.h"
#include "support/raw_page_file.h"

namespace {

using jet::ColumnType;
using jet::Value;
using quorla_test::RawPageFile;
using quorla_test::RawTable;

constexpr uint8_t kDataPageType = 0x01;

std::string SamplePath(const std::string& relative) {
  return std::string(QUORLA_SAMPLES_DIR) + "/" + relative;
}

#define SKIP_WITHOUT_SAMPLE(path) \
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample file missing: " << (path)

// One CSV record per row of the table as mdb-export prints it; an unquoted NULL is Null.
struct Field {
  std::string text;
  bool null = false;
};
using Record = std::vector<Field>;

std::vector<Record> ExportTable(const std::string& file, const std::string& table) {
  testsupport::ProcessResult exported = testsupport::RunProcess(
      {"mdb-export", "-0", "NULL", "-b", "hex", "-T", "%Y-%m-%d %H:%M:%S", file, table});
  std::string error;
  std::vector<Record> records;
  for (const testsupport::CsvRow& row : testsupport::ParseCsv(exported.out, &error)) {
    Record record;
    for (const testsupport::CsvField& f : row) {
      record.push_back({f.text, !f.quoted && f.text == "NULL"});
    }
    records.push_back(std::move(record));
  }
  EXPECT_TRUE(error.empty()) << error;
  return records;
}

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// The value of a printed field for a column of `type`; nullopt when the printed form does not
// tell the value (mdbtools prints dates before 1899-12-30 as 1900-01-00, some not at all).
std::optional<Value> ParseField(const Field& f, uint8_t type) {
  if (f.null) return Value();
  try {
    switch (static_cast<ColumnType>(type)) {
      case ColumnType::kBoolean:
        return Value(f.text != "0");
      case ColumnType::kByte:
        return Value(static_cast<uint8_t>(std::stoi(f.text)));
      case ColumnType::kInteger:
        return Value(static_cast<int16_t>(std::stoi(f.text)));
      case ColumnType::kLong:
        return Value(static_cast<int32_t>(std::stol(f.text)));
      case ColumnType::kCurrency: {
        const bool negative = !f.text.empty() && f.text[0] == '-';
        std::string digits;
        for (char c : f.text) {
          if (std::isdigit(static_cast<unsigned char>(c))) digits.push_back(c);
        }
        const int64_t scaled = std::stoll(digits);
        return Value(jet::Currency{negative ? -scaled : scaled});
      }
      case ColumnType::kDouble:
        return Value(std::stod(f.text));
      case ColumnType::kSingle:
        return Value(std::stof(f.text));
      case ColumnType::kDateTime: {
        int y, mo, d, h, mi, s;
        if (std::sscanf(f.text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6 ||
            d == 0) {
          return std::nullopt;
        }
        const int64_t day = DaysFromCivil(y, mo, d) - DaysFromCivil(1899, 12, 30);
        if (day < 0) return std::nullopt;
        return Value(jet::DateTime{static_cast<double>(day) + (h * 3600 + mi * 60 + s) / 86400.0});
      }
      case ColumnType::kText:
      case ColumnType::kMemo:
        return Value(f.text);
      case ColumnType::kGuid: {
        // With -b hex, mdb-export prints the hex digits of the text {XXXXXXXX-...}, which the
        // key encoder reads.
        std::string text;
        for (size_t i = 0; i + 1 < f.text.size(); i += 2) {
          text.push_back(static_cast<char>(std::stoi(f.text.substr(i, 2), nullptr, 16)));
        }
        return Value(text);
      }
      default:
        return std::nullopt;
    }
  } catch (const std::exception&) {
    return std::nullopt;  // not a number: the column is of another type than the test thought
  }
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

bool IsFloating(uint8_t type) {
  return type == uint8_t(ColumnType::kDouble) || type == uint8_t(ColumnType::kSingle) ||
         type == uint8_t(ColumnType::kDateTime);
}

// The entries of an index in leaf order: down the first children, then along the next links.
std::vector<jet::IndexEntry> WalkLeaves(RawPageFile& file, uint32_t root) {
  jet::IndexPage page = jet::DecodeIndexPage(file.Page(root), file.version(), root);
  while (!page.leaf) {
    if (page.entries.empty()) throw std::runtime_error("empty intermediate page");
    const uint32_t child = page.entries.front().child;
    page = jet::DecodeIndexPage(file.Page(child), file.version(), child);
  }
  std::vector<jet::IndexEntry> entries;
  for (uint32_t steps = 0;; ++steps) {
    if (steps > file.page_count()) throw std::runtime_error("cycle");
    entries.insert(entries.end(), page.entries.begin(), page.entries.end());
    if (page.next_page == 0) break;
    page = jet::DecodeIndexPage(file.Page(page.next_page), file.version(), page.next_page);
  }
  return entries;
}

class IndexSampleFiles : public ::testing::TestWithParam<const char*> {};

TEST_P(IndexSampleFiles, EveryIndexPageDecodesInOrderAndPointsAtDataPages) {
  const std::string path = SamplePath(GetParam());
  SKIP_WITHOUT_SAMPLE(path);
  RawPageFile file(path);
  size_t leaves = 0, entries = 0;
  for (uint32_t p = 1; p < file.page_count(); ++p) {
    auto bytes = file.Page(p);
    if (!jet::IsIndexPage(bytes)) continue;
    const jet::IndexPage page = jet::DecodeIndexPage(bytes, file.version(), p);
    for (size_t i = 0; i < page.entries.size(); ++i) {
      const jet::IndexEntry& e = page.entries[i];
      if (i > 0) {
        const jet::IndexEntry& prev = page.entries[i - 1];
        ASSERT_LE(prev.key, e.key) << "page " << p << " entry " << i;
        if (prev.key == e.key) {
          ASSERT_TRUE(prev.row.page < e.row.page ||
                      (prev.row.page == e.row.page && prev.row.row < e.row.row))
              << "page " << p << " entry " << i;
        }
      }
      ASSERT_LT(e.row.page, file.page_count()) << "page " << p;
      EXPECT_EQ(file.Page(e.row.page)[0], kDataPageType) << "page " << p << " entry " << i;
      if (!page.leaf) {
        ASSERT_LT(e.child, file.page_count());
        EXPECT_TRUE(jet::IsIndexPage(file.Page(e.child))) << "page " << p << " child " << e.child;
      }
    }
    if (page.leaf) {
      ++leaves;
      entries += page.entries.size();
    }
  }
  EXPECT_GT(leaves, 0u);
  EXPECT_GT(entries, 0u);
}

INSTANTIATE_TEST_SUITE_P(Jet4, IndexSampleFiles,
                         ::testing::Values("jet4/indexTestV2000.mdb", "jet4/bigIndexTestV2000.mdb",
                                           "jet4/compIndexTestV2000.mdb", "jet4/indexTestV2003.mdb",
                                           "jet4/testIndexPropertiesV2000.mdb",
                                           "jet4/testV2000.mdb", "jet4/test2V2000.mdb",
                                           "bench/orders-100k.mdb"));

INSTANTIATE_TEST_SUITE_P(Jet3, IndexSampleFiles,
                         ::testing::Values("jet3/indexTestV1997.mdb", "jet3/compIndexTestV1997.mdb",
                                           "jet3/testIndexCodesV1997.mdb", "jet3/testV1997.mdb"));

struct TableCase {
  const char* file;
  const char* table;
};

class IndexSampleTables : public ::testing::TestWithParam<TableCase> {};

std::string TableCaseName(const ::testing::TestParamInfo<TableCase>& info) {
  std::string name = std::string(info.param.file) + "_" + info.param.table;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

// For every index of the table: the stored keys are exactly the keys of the exported rows, a walk
// of the index visits as many rows as the table has, in the order of the leaf pages, and SeekGE
// finds every row's key.
// The key columns of an index of `table`.
std::vector<jet::IndexKeyColumn> KeyColumns(const RawTable& table,
                                            const quorla_test::RawIndex& index) {
  std::vector<jet::IndexKeyColumn> columns;
  for (size_t i = 0; i < index.columns.size(); ++i) {
    const quorla_test::RawColumn& c = table.columns[index.columns[i]];
    columns.push_back({static_cast<ColumnType>(c.type), index.ascending[i], c.scale});
  }
  return columns;
}

// Inverts the key encoding of a one-column Double, Single or Date index.
double DecodeFloatingKey(const std::string& key, ColumnType type, bool ascending) {
  std::string bytes = key.substr(1);
  if (!ascending) {
    for (char& c : bytes) c = static_cast<char>(~c);
  }
  if (bytes.empty()) return 0;
  if (static_cast<uint8_t>(bytes[0]) & 0x80) {
    bytes[0] = static_cast<char>(static_cast<uint8_t>(bytes[0]) ^ 0x80);
  } else {
    for (char& c : bytes) c = static_cast<char>(~c);
  }
  uint64_t bits = 0;
  for (char c : bytes) bits = bits << 8 | static_cast<uint8_t>(c);
  if (type == ColumnType::kSingle) return std::bit_cast<float>(static_cast<uint32_t>(bits));
  return std::bit_cast<double>(bits);
}

struct IndexCheck {
  std::vector<std::string> problems;     // empty when the index matches the rows
  std::vector<std::vector<Value>> keys;  // keys of rows the test could rebuild exactly
};

// Compares the entries of one index with the exported rows. Fields that mdb-export cannot show
// faithfully make a row optional: mdb-export prints empty text as Null (so a Null text also
// tries the empty-text key) and Jet 3 characters it cannot convert as '?'.
IndexCheck CheckIndex(RawPageFile& file, const RawTable& table, const quorla_test::RawIndex& index,
                      const std::vector<Record>& rows) {
  IndexCheck check;
  const std::vector<jet::IndexKeyColumn> columns = KeyColumns(table, index);
  const bool floating = columns.size() == 1 && IsFloating(uint8_t(columns[0].type));
  struct Expected {
    std::string key, alternative, row;
    bool optional = false;
  };
  std::vector<Expected> expected;
  std::vector<double> expected_numbers;
  size_t unknown_rows = 0;
  for (const Record& row : rows) {
    std::vector<Value> key, alternative;
    bool all_null = true, ambiguous = false, unknown = false;
    Expected e;
    for (size_t i = 0; i < index.columns.size(); ++i) {
      const int col = index.columns[i];
      const uint8_t type = table.columns[col].type;
      std::optional<Value> v = ParseField(row.at(col), type);
      if (!v) {
        unknown = true;
        v = Value();
      }
      all_null = all_null && jet::IsNull(*v);
      const bool text = type == uint8_t(ColumnType::kText) || type == uint8_t(ColumnType::kMemo);
      ambiguous = ambiguous || (text && jet::IsNull(*v));
      unknown = unknown || (text && file.version() == jet::JetVersion::kJet3 &&
                            row[col].text.find('?') != std::string::npos);
      key.push_back(*v);
      alternative.push_back(text && jet::IsNull(*v) ? Value(std::string()) : *v);
      e.row += "[" + row[col].text + "]";
    }
    try {
      e.key = jet::EncodeIndexKey(columns, key, file.version());
      e.alternative = jet::EncodeIndexKey(columns, alternative, file.version());
    } catch (const jet::Error& error) {
      check.problems.push_back(e.row + ": " + error.description());
      return check;
    }
    e.optional = unknown;
    unknown_rows += unknown;
    if (all_null && (index.flags & 0x02)) {
      if (!ambiguous) continue;  // ignore-nulls index
      e.optional = true;
    }
    if (floating && !jet::IsNull(key[0]) && !unknown) {
      const Value& v = key[0];
      expected_numbers.push_back(std::holds_alternative<double>(v) ? std::get<double>(v)
                                 : std::holds_alternative<float>(v)
                                     ? std::get<float>(v)
                                     : std::get<jet::DateTime>(v).days);
    }
    if (!e.optional) check.keys.push_back(key);
    expected.push_back(std::move(e));
  }

  if (check.keys.size() * 2 < expected.size()) {
    check.problems.push_back("too few rows whose keys the test can rebuild");
    return check;
  }
  const std::vector<jet::IndexEntry> entries = WalkLeaves(file, index.root_page);
  std::multiset<std::string> left;
  for (const auto& e : entries) left.insert(e.key);
  size_t optional = 0;
  if (floating) {
    // Floating values are printed rounded: compare the decoded numbers with a tolerance.
    std::vector<double> stored;
    for (const auto& e : entries) {
      if (e.key.size() > 1)
        stored.push_back(DecodeFloatingKey(e.key, columns[0].type, columns[0].ascending));
    }
    std::sort(stored.begin(), stored.end());
    std::sort(expected_numbers.begin(), expected_numbers.end());
    // Walk both sorted lists; stored values without a printed counterpart may belong to rows
    // whose value mdb-export could not print.
    size_t j = 0, unmatched = 0;
    for (const double b : expected_numbers) {
      const double tolerance = 1e-6 * std::max(1.0, std::fabs(b)) +
                               (columns[0].type == ColumnType::kDateTime ? 2e-5 : 0);
      while (j < stored.size() && stored[j] < b - tolerance) ++j, ++unmatched;
      if (j == stored.size() || std::fabs(stored[j] - b) > tolerance) {
        check.problems.push_back("no stored entry for " + std::to_string(b));
        break;
      }
      ++j;
    }
    unmatched += stored.size() - std::min(j, stored.size());
    if (unmatched > unknown_rows) check.problems.push_back("stored entries without a row");
    check.keys.clear();  // exact seeks are not possible with rounded values
    return check;
  }
  for (const Expected& e : expected) {
    auto it = left.find(e.key);
    if (it == left.end()) it = left.find(e.alternative);
    if (it != left.end()) {
      left.erase(it);
    } else if (e.optional) {
      ++optional;
    } else if (check.problems.size() < 5) {
      check.problems.push_back("no stored entry for the key " + Hex(e.key) + "of " + e.row);
    }
  }
  if (left.size() > optional) {
    check.problems.push_back(std::to_string(left.size()) +
                             " stored entries without a row, the first " + Hex(*left.begin()));
  }
  return check;
}

// For every index of the table: the stored keys are exactly the keys of the exported rows, a walk
// of the index visits the entries of the leaf chain in order, and SeekGE finds every row's key.
TEST_P(IndexSampleTables, StoredKeysMatchEncodedRows) {
  const std::string path = SamplePath(GetParam().file);
  SKIP_WITHOUT_SAMPLE(path);
  const std::vector<Record> csv = ExportTable(path, GetParam().table);
  ASSERT_FALSE(csv.empty()) << "mdb-export printed nothing";
  const Record& header = csv.front();
  const std::vector<Record> rows(csv.begin() + 1, csv.end());
  for (const Record& row : rows) ASSERT_EQ(row.size(), header.size());

  // Several tables may share column names and row count (Table1, Table1_desc): take the
  // definition whose indexes all match the rows.
  RawPageFile file(path);
  const std::vector<RawTable> tables = quorla_test::ReadRawTables(file);
  const RawTable* table = nullptr;
  std::vector<IndexCheck> checks;
  std::vector<std::string> best_problems;
  for (const RawTable& t : tables) {
    if (t.columns.size() != header.size() || t.row_count != rows.size()) continue;
    bool same = true;
    for (size_t i = 0; i < header.size(); ++i) same = same && t.columns[i].name == header[i].text;
    if (!same || t.indexes.empty()) continue;
    std::vector<IndexCheck> candidate;
    std::vector<std::string> problems;
    for (const auto& index : t.indexes) {
      candidate.push_back(CheckIndex(file, t, index, rows));
      for (const auto& p : candidate.back().problems) {
        problems.push_back("index at page " + std::to_string(index.root_page) + ": " + p);
      }
    }
    if (problems.empty()) {
      table = &t;
      checks = std::move(candidate);
      break;
    }
    if (best_problems.empty()) best_problems.push_back("no table definition matches the rows:");
    best_problems.push_back("table definition at page " + std::to_string(t.tdef_page) + ":");
    best_problems.insert(best_problems.end(), problems.begin(), problems.end());
  }
  if (!table) {
    if (best_problems.empty()) best_problems.push_back("no table with the exported columns");
    std::string message;
    for (const auto& p : best_problems) message += p + "\n";
    FAIL() << message;
  }

  for (size_t x = 0; x < table->indexes.size(); ++x) {
    const quorla_test::RawIndex& index = table->indexes[x];
    SCOPED_TRACE("index with root page " + std::to_string(index.root_page));
    const std::vector<jet::IndexEntry> entries = WalkLeaves(file, index.root_page);
    auto cursor =
        jet::OpenIndexTree(file, file.version(), index.root_page, KeyColumns(*table, index));
    cursor->SeekFirst();
    size_t n = 0;
    for (; cursor->Valid(); cursor->Next(), ++n) {
      ASSERT_LT(n, entries.size());
      ASSERT_EQ(cursor->row_id(), entries[n].row);
    }
    EXPECT_EQ(n, entries.size());

    const auto& keys = checks[x].keys;
    for (size_t i = 0; i < keys.size(); i += std::max<size_t>(1, keys.size() / 200)) {
      cursor->SeekGE(keys[i]);
      ASSERT_TRUE(cursor->Valid());
      EXPECT_EQ(cursor->CompareKey(keys[i]), 0);
      const std::vector<Value> first(keys[i].begin(), keys[i].begin() + 1);
      cursor->SeekGE(first);
      ASSERT_TRUE(cursor->Valid());
      EXPECT_EQ(cursor->CompareKey(first), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Jet4, IndexSampleTables,
    ::testing::Values(TableCase{"jet4/indexTestV2000.mdb", "Table1"},
                      TableCase{"jet4/indexTestV2000.mdb", "Table2"},
                      TableCase{"jet4/indexTestV2000.mdb", "Table3"},
                      TableCase{"jet4/compIndexTestV2000.mdb", "Table1"},
                      TableCase{"jet4/indexTestV2003.mdb", "Table1"},
                      TableCase{"jet4/testIndexPropertiesV2000.mdb", "TableIgnoreNulls1"},
                      // Not TableIgnoreNulls2: its two-column ignore-nulls index holds two
                      // all-Null entries where mdb-export shows one all-Null row.
                      TableCase{"jet4/testV2000.mdb", "Table1"},
                      TableCase{"jet4/indexCursorTestV2000.mdb", "test"},
                      TableCase{"bench/orders-100k.mdb", "orders"},
                      TableCase{"bench/orders-100k.mdb", "artikel"}),
    TableCaseName);

std::vector<TableCase> Jet3Tables() {
  std::vector<TableCase> cases{{"jet3/indexTestV1997.mdb", "Table1"},
                               {"jet3/indexTestV1997.mdb", "Table2"},
                               {"jet3/compIndexTestV1997.mdb", "Table1"},
                               {"jet3/testV1997.mdb", "Table1"}};
  // Text of many kinds, in ascending and descending indexes.
  // clang-format off
  static const char* const kCodeTables[] = {
      "Table1", "Table1_desc", "Table2", "Table2_desc", "Table3", "Table3_desc", "Table4",
      "Table4_desc", "Table5", "Table5_desc", "Table6", "Table6_desc", "Table8", "Table8_desc",
      "Table9", "Table9_desc", "Table10", "Table10_desc", "Table11", "Table12",
      "Table12_asc_desc", "Table12_desc_asc", "Table12_desc_desc", "Table13", "Table13_desc",
      "Table14", "Table14_desc", "Table15", "Table15_desc",
  };
  // clang-format on
  for (const char* t : kCodeTables) cases.push_back({"jet3/testIndexCodesV1997.mdb", t});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Jet3, IndexSampleTables, ::testing::ValuesIn(Jet3Tables()), TableCaseName);

}  // namespace
