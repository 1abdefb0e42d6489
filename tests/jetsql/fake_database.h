#ifndef QUORLA_TESTS_JETSQL_FAKE_DATABASE_H_
#define QUORLA_TESTS_JETSQL_FAKE_DATABASE_H_

// An in-memory jet::Database for testing the virtual table: tables are column definitions plus
// rows; indexes are sorted on demand. It counts what the module reads.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/name_fold.h"
#include "jetsql/text_util.h"
#include "jetsql/value_convert.h"

namespace jetsql::testing {

inline int CompareFakeKey(const jet::Value& a, const jet::Value& b) {
  if (jet::IsNull(a) || jet::IsNull(b)) return jet::IsNull(b) - jet::IsNull(a);
  if (IsTextValue(a) && IsTextValue(b)) {
    return CompareGeneral(std::get<std::string>(a), std::get<std::string>(b));
  }
  double x = ValueToDouble(a), y = ValueToDouble(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

class FakeDatabase : public jet::Database {
 public:
  struct Table {
    std::shared_ptr<jet::TableDef> def;
    std::vector<std::vector<jet::Value>> rows;
  };

  Table& AddTable(jet::TableDef def) {
    auto& t = tables_[jet::FoldName(def.name)];
    t.def = std::make_shared<jet::TableDef>(std::move(def));
    return t;
  }

  jet::JetVersion version() const override { return jet::JetVersion::kJet4; }
  std::vector<jet::CatalogEntry> Tables() override {
    std::vector<jet::CatalogEntry> out;
    for (auto& [key, t] : tables_) out.push_back({t.def->name});
    return out;
  }
  std::shared_ptr<const jet::TableDef> GetTableDef(const std::string& name) override {
    return Find(name).def;
  }
  std::unique_ptr<jet::TableCursor> Scan(const std::string& name) override {
    return std::make_unique<Cursor>(this, &Find(name));
  }
  std::unique_ptr<jet::IndexCursor> OpenIndex(const std::string& name, int index) override {
    if (index_fails) throw jet::Error(jet::err::kUnrecognizedFormat, "index not readable");
    Table& t = Find(name);
    int column = t.def->indexes.at(static_cast<size_t>(index)).columns.at(0).column;
    auto cursor = std::make_unique<Index>();
    for (size_t i = 0; i < t.rows.size(); ++i) {
      cursor->entries.push_back({t.rows[i][static_cast<size_t>(column)], IdOf(i)});
    }
    std::stable_sort(
        cursor->entries.begin(), cursor->entries.end(),
        [](const auto& a, const auto& b) { return CompareFakeKey(a.first, b.first) < 0; });
    return cursor;
  }
  std::vector<jet::Value> ReadRow(const std::string& name, jet::RowId id) override {
    ++rows_read;
    return Find(name).rows.at(static_cast<size_t>(id.page - 1) * kRowsPerPage + id.row);
  }

  int rows_read = 0;     // rows fetched by id
  int rows_scanned = 0;  // rows passed by table scans
  bool index_fails = false;

 private:
  static constexpr size_t kRowsPerPage = 100;

  static jet::RowId IdOf(size_t i) {
    return {static_cast<uint32_t>(i / kRowsPerPage + 1), static_cast<uint16_t>(i % kRowsPerPage)};
  }

  Table& Find(const std::string& name) {
    auto it = tables_.find(jet::FoldName(name));
    if (it == tables_.end()) {
      throw errors::UnknownTable(name);
    }
    return it->second;
  }

  class Cursor : public jet::TableCursor {
   public:
    Cursor(FakeDatabase* db, Table* t) : db_(db), t_(t) {
      if (Valid()) ++db_->rows_scanned;
    }
    bool Valid() const override { return i_ < t_->rows.size(); }
    void Next() override {
      ++i_;
      if (Valid()) ++db_->rows_scanned;
    }
    jet::RowId row_id() const override { return IdOf(i_); }
    jet::Value value(int column) override { return t_->rows[i_].at(static_cast<size_t>(column)); }

   private:
    FakeDatabase* db_;
    Table* t_;
    size_t i_ = 0;
  };

  struct Index : jet::IndexCursor {
    std::vector<std::pair<jet::Value, jet::RowId>> entries;
    size_t pos = 0;
    void SeekGE(const std::vector<jet::Value>& key) override {
      pos = 0;
      while (pos < entries.size() && CompareFakeKey(entries[pos].first, key[0]) < 0) ++pos;
    }
    void SeekFirst() override { pos = 0; }
    bool Valid() const override { return pos < entries.size(); }
    void Next() override { ++pos; }
    jet::RowId row_id() const override { return entries[pos].second; }
    int CompareKey(const std::vector<jet::Value>& key) const override {
      return CompareFakeKey(entries[pos].first, key[0]);
    }
  };

  std::map<std::string, Table> tables_;
};

}  // namespace jetsql::testing

#endif  // QUORLA_TESTS_JETSQL_FAKE_DATABASE_H_
