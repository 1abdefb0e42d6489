// Index pages of real Access files: every leaf page decodes into ordered entries that point at
// data pages, and the keys Access stored are exactly the keys we encode for the rows that
// mdb-export reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/index_key.h"
#include "jet/index_page.h"
#include "jet/index_tree.h"
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
  const std::string command =
      "mdb-export -0 NULL -b hex -T '%Y-%m-%d %H:%M:%S' '" + file + "' '" + table + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string csv;
  if (pipe) {
    std::array<char, 65536> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe.get())) > 0) csv.append(buf.data(), n);
  }
  std::vector<Record> records;
  Record record;
  Field field;
  bool quoted = false, in_quotes = false;
  auto end_field = [&] {
    field.null = !quoted && field.text == "NULL";
    record.push_back(field);
    field = Field();
    quoted = false;
  };
  for (size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (in_quotes) {
      if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
        field.text.push_back('"');
        ++i;
      } else if (c == '"') {
        in_quotes = false;
      } else {
        field.text.push_back(c);
      }
    } else if (c == '"') {
      in_quotes = quoted = true;
    } else if (c == ',') {
      end_field();
    } else if (c == '\n') {
      end_field();
      records.push_back(std::move(record));
      record.clear();
    } else {
      field.text.push_back(c);
    }
  }
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

// The value of a printed field for a column of `type`; nullopt when the test cannot rebuild it.
std::optional<Value> ParseField(const Field& f, uint8_t type) {
  if (f.null) return Value();
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
    case ColumnType::kDateTime: {
      int y, mo, d, h, mi, s;
      if (std::sscanf(f.text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) {
        return std::nullopt;
      }
      const int64_t day = DaysFromCivil(y, mo, d) - DaysFromCivil(1899, 12, 30);
      if (day < 0) return std::nullopt;  // mdbtools misprints these
      return Value(jet::DateTime{static_cast<double>(day) + (h * 3600 + mi * 60 + s) / 86400.0});
    }
    case ColumnType::kText:
    case ColumnType::kMemo:
      return Value(f.text);
    default:
      return std::nullopt;
  }
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

// For every index of the table: the stored keys are exactly the keys of the exported rows, a walk
// of the index visits as many rows as the table has, in the order of the leaf pages, and SeekGE
// finds every row's key.
TEST_P(IndexSampleTables, StoredKeysMatchEncodedRows) {
  const std::string path = SamplePath(GetParam().file);
  SKIP_WITHOUT_SAMPLE(path);
  const std::vector<Record> csv = ExportTable(path, GetParam().table);
  ASSERT_FALSE(csv.empty()) << "mdb-export printed nothing";
  const Record& header = csv.front();
  const std::vector<Record> rows(csv.begin() + 1, csv.end());

  RawPageFile file(path);
  // Find the definition by its columns and row count; tables with the same columns and row
  // count are told apart by the size of their first index.
  const RawTable* table = nullptr;
  const std::vector<RawTable> tables = quorla_test::ReadRawTables(file);
  for (const RawTable& t : tables) {
    if (t.columns.size() != header.size() || t.row_count != rows.size()) continue;
    bool same = true;
    for (size_t i = 0; i < header.size(); ++i) same = same && t.columns[i].name == header[i].text;
    if (!same) continue;
    if (table && !t.indexes.empty() &&
        WalkLeaves(file, t.indexes.front().root_page).size() != rows.size()) {
      continue;
    }
    table = &t;
  }
  ASSERT_NE(table, nullptr) << "no table definition with the exported columns";
  ASSERT_FALSE(table->indexes.empty());

  for (const quorla_test::RawIndex& index : table->indexes) {
    SCOPED_TRACE("index with root page " + std::to_string(index.root_page));
    std::vector<jet::IndexKeyColumn> columns;
    bool floating = false;
    for (size_t i = 0; i < index.columns.size(); ++i) {
      const quorla_test::RawColumn& c = table->columns[index.columns[i]];
      columns.push_back({static_cast<ColumnType>(c.type), index.ascending[i], c.scale});
      floating = floating || IsFloating(c.type);
    }
    // mdb-export prints empty text as Null, so a Null text field may stand for empty text: such
    // rows also get the key with empty text, and an ignore-nulls index may or may not hold them.
    struct Expected {
      std::string key, alternative;
      bool optional = false;
    };
    std::vector<Expected> expected;
    std::vector<std::vector<Value>> keys;
    for (const Record& row : rows) {
      ASSERT_EQ(row.size(), header.size());
      std::vector<Value> key, alternative;
      bool all_null = true, ambiguous = false;
      for (size_t i = 0; i < index.columns.size(); ++i) {
        const int col = index.columns[i];
        const uint8_t type = table->columns[col].type;
        std::optional<Value> v = ParseField(row[col], type);
        if (!v) GTEST_SKIP() << "column type the test cannot rebuild";
        all_null = all_null && jet::IsNull(*v);
        const bool text = type == uint8_t(ColumnType::kText) || type == uint8_t(ColumnType::kMemo);
        ambiguous = ambiguous || (text && jet::IsNull(*v));
        key.push_back(*v);
        alternative.push_back(text && jet::IsNull(*v) ? Value(std::string()) : *v);
      }
      Expected e{jet::EncodeIndexKey(columns, key), jet::EncodeIndexKey(columns, alternative)};
      if (all_null && (index.flags & 0x02)) {
        if (!ambiguous) continue;  // ignore-nulls index
        e.optional = true;
      }
      expected.push_back(std::move(e));
      if (!e.optional) keys.push_back(std::move(key));
    }

    const std::vector<jet::IndexEntry> entries = WalkLeaves(file, index.root_page);
    std::multiset<std::string> left;
    for (const auto& e : entries) left.insert(e.key);
    if (!floating) {
      size_t mismatches = 0, required = 0;
      for (const Expected& e : expected) {
        required += !e.optional;
        auto it = left.find(e.key);
        if (it == left.end()) it = left.find(e.alternative);
        if (it != left.end()) {
          left.erase(it);
        } else if (!e.optional && ++mismatches < 5) {
          ADD_FAILURE() << "no stored entry for an exported row's key";
        }
      }
      EXPECT_EQ(mismatches, 0u);
      EXPECT_TRUE(left.empty()) << left.size() << " stored entries without a row";
      EXPECT_GE(entries.size(), required);
    } else {
      EXPECT_EQ(entries.size(), expected.size());
    }

    // The cursor walks the same entries as the leaf chain.
    auto cursor = jet::OpenIndexTree(file, file.version(), index.root_page, columns);
    cursor->SeekFirst();
    size_t n = 0;
    for (; cursor->Valid(); cursor->Next(), ++n) {
      ASSERT_LT(n, entries.size());
      ASSERT_EQ(cursor->row_id(), entries[n].row);
    }
    EXPECT_EQ(n, entries.size());

    // SeekGE on each row's key lands on an entry with that key (floating columns: on the first
    // entry not below the printed, rounded value).
    for (size_t i = 0; i < keys.size(); i += std::max<size_t>(1, keys.size() / 200)) {
      cursor->SeekGE(keys[i]);
      if (floating) continue;
      ASSERT_TRUE(cursor->Valid());
      EXPECT_EQ(cursor->CompareKey(keys[i]), 0);
      std::vector<Value> first(keys[i].begin(), keys[i].begin() + 1);
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
    [](const ::testing::TestParamInfo<TableCase>& info) {
      std::string name = std::string(info.param.file) + "_" + info.param.table;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

}  // namespace
