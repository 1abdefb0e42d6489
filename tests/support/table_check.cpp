#include "support/table_check.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <type_traits>
#include <utility>

#include "jet/byte_order.h"
#include "jet/catalog.h"
#include "jet/data_page.h"
#include "jet/index_check.h"
#include "support/raw_page_file.h"

namespace testsupport {
namespace {

class Fnv {
 public:
  void Add(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash_ = (hash_ ^ p[i]) * 0x100000001b3ull;
    }
  }
  template <typename T>
  void AddPlain(const T& v) {
    static_assert(std::is_trivially_copyable_v<T>);
    Add(&v, sizeof v);
  }
  uint64_t hash() const { return hash_; }

 private:
  uint64_t hash_ = 0xcbf29ce484222325ull;
};

uint64_t RowHash(const std::vector<jet::Value>& row) {
  Fnv h;
  for (const jet::Value& v : row) {
    const auto kind = static_cast<uint8_t>(v.index());
    h.AddPlain(kind);
    std::visit(
        [&](const auto& x) {
          using T = std::decay_t<decltype(x)>;
          if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, jet::Bytes>) {
            h.AddPlain(x.size());
            h.Add(x.data(), x.size());
          } else if constexpr (std::is_same_v<T, jet::Decimal>) {
            h.AddPlain(x.negative);
            h.AddPlain(x.mantissa);
            h.AddPlain(x.precision);
            h.AddPlain(x.scale);
          } else if constexpr (!std::is_same_v<T, std::monostate>) {
            h.AddPlain(x);
          }
        },
        v);
  }
  return h.hash();
}

using Address = std::pair<uint32_t, uint16_t>;

// Every field of the cursor's current row.
std::vector<jet::Value> CurrentRow(jet::TableCursor& c, size_t columns) {
  std::vector<jet::Value> row;
  for (size_t i = 0; i < columns; ++i) row.push_back(c.value(static_cast<int>(i)));
  return row;
}

std::string TableDigest(jet::Database& db, const std::string& table) {
  const size_t columns = db.GetTableDef(table)->columns.size();
  std::vector<uint64_t> rows;
  for (auto c = db.Scan(table); c->Valid(); c->Next())
    rows.push_back(RowHash(CurrentRow(*c, columns)));
  std::sort(rows.begin(), rows.end());
  Fnv h;
  for (uint64_t r : rows) h.AddPlain(r);
  char text[40];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h.hash()));
  return table + ": " + std::to_string(rows.size()) + " rows " + text;
}

}  // namespace

std::string TablesDigest(jet::Database& db, const std::vector<std::string>& tables) {
  std::string out;
  for (const std::string& t : tables) {
    if (!out.empty()) out += "; ";
    out += TableDigest(db, t);
  }
  return out;
}

std::string DatabaseDigest(jet::Database& db) {
  std::vector<std::string> tables;
  for (const jet::CatalogEntry& e : db.Tables()) {
    if (!e.system) tables.push_back(e.name);
  }
  std::sort(tables.begin(), tables.end());
  std::string out;
  for (const std::string& t : tables) {
    auto def = db.GetTableDef(t);
    out += t + "(";
    for (const jet::ColumnDef& c : def->columns) {
      out += c.name + " " + std::to_string(static_cast<int>(c.type)) + " " +
             std::to_string(c.size) + (c.nullable ? "," : " required,");
    }
    std::vector<std::string> indexes;
    for (const jet::IndexDef& index : def->indexes) {
      std::string text = index.name + (index.primary ? " primary" : index.unique ? " unique" : "");
      for (const jet::IndexColumn& c : index.columns) text += " " + std::to_string(c.column);
      indexes.push_back(text);
    }
    std::sort(indexes.begin(), indexes.end());
    for (const std::string& index : indexes) out += " [" + index + "]";
    out += ") " + TableDigest(db, t) + "; ";
  }
  return out;
}

std::string CheckTableIndexes(jet::Database& db, const std::string& path,
                              const std::string& table) {
  auto def = db.GetTableDef(table);
  struct Row {
    jet::RowId id;
    std::vector<jet::Value> values;
  };
  std::vector<Row> rows;
  for (auto c = db.Scan(table); c->Valid(); c->Next()) {
    rows.push_back({c->row_id(), CurrentRow(*c, def->columns.size())});
  }
  testsupport::RawPageFile pages(path);
  std::string problems;
  auto problem = [&](const std::string& index, const std::string& what) {
    if (problems.size() < 2000) problems += table + "." + index + ": " + what + "\n";
  };
  for (size_t n = 0; n < def->indexes.size(); ++n) {
    const jet::IndexDef& index = def->indexes[n];
    jet::IndexCheckResult tree = jet::CheckIndex(pages, pages.version(), index.root_page);
    for (const std::string& p : tree.problems) problem(index.name, p);
    std::multiset<Address> listed;
    auto cursor = db.OpenIndex(table, static_cast<int>(n));
    for (cursor->SeekFirst(); cursor->Valid(); cursor->Next()) {
      listed.insert({cursor->row_id().page, cursor->row_id().row});
    }
    size_t expected = 0;
    for (const Row& r : rows) {
      std::vector<jet::Value> key;
      bool all_null = true;
      for (const jet::IndexColumn& c : index.columns) {
        key.push_back(r.values[static_cast<size_t>(c.column)]);
        all_null = all_null && jet::IsNull(key.back());
      }
      if (index.ignore_nulls && all_null) continue;
      ++expected;
      const std::string where = "row " + std::to_string(r.id.page) + ":" + std::to_string(r.id.row);
      if (listed.count({r.id.page, r.id.row}) != 1) {
        problem(index.name, where + " listed " +
                                std::to_string(listed.count({r.id.page, r.id.row})) + " times");
        continue;
      }
      bool found = false;
      for (cursor->SeekGE(key); cursor->Valid() && cursor->CompareKey(key) == 0; cursor->Next()) {
        if (cursor->row_id() == r.id) {
          found = true;
          break;
        }
      }
      if (!found) problem(index.name, where + " not found by its key");
    }
    if (listed.size() != expected) {
      problem(index.name,
              std::to_string(listed.size()) + " entries for " + std::to_string(expected) + " rows");
    }
    if (tree.entries != listed.size()) {
      problem(index.name, "the structural check saw " + std::to_string(tree.entries) +
                              " entries, the walk " + std::to_string(listed.size()));
    }
  }
  return problems;
}

int CountOverflowRows(const std::string& path, const std::string& table) {
  testsupport::RawPageFile file(path);
  uint32_t definition = 0;
  for (const jet::CatalogTable& t : jet::ReadCatalog(file, file.version())) {
    if (t.entry.name == table) definition = t.definition_page;
  }
  if (definition == 0) throw std::runtime_error("no table " + table + " in " + path);
  int overflow = 0;
  for (uint32_t n = 1; n < file.page_count(); ++n) {
    jet::ByteSpan page = file.Page(n);
    if (page[0] != jet::page_type::kData) continue;
    if (jet::ReadU32(page, jet::data_page::kOwnerOffset) != definition) continue;
    const uint16_t count = jet::RowCount(page, file.version());
    for (uint16_t r = 0; r < count; ++r) {
      jet::RowSlot slot = jet::LocateRow(page, file.version(), r);
      if (!slot.deleted && slot.overflow) ++overflow;
    }
  }
  return overflow;
}

}  // namespace testsupport
