#ifndef QUORLA_TESTS_JETSQL_FAKE_DATABASE_H_
#define QUORLA_TESTS_JETSQL_FAKE_DATABASE_H_

// An in-memory jet::Database for testing the virtual table and the statements that write: tables
// are column definitions plus rows; indexes are sorted on demand. It counts what the module reads
// and, when writable, records every write and keeps Jet's rules for unique indexes, required
// fields, text sizes and autonumbers.

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
    std::vector<bool> deleted;  // by row; missing entries are live rows
    int32_t next_autonumber = 1;
    bool IsDeleted(size_t i) const { return i < deleted.size() && deleted[i]; }
  };

  // One write as the engine was asked to make it.
  struct Write {
    enum class Kind { kInsert, kUpdate, kDelete } kind;
    std::string table;
    jet::RowId id;
    std::vector<jet::Value> values;
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
      if (t.IsDeleted(i)) continue;
      cursor->entries.push_back({t.rows[i][static_cast<size_t>(column)], IdOf(i)});
    }
    std::stable_sort(
        cursor->entries.begin(), cursor->entries.end(),
        [](const auto& a, const auto& b) { return CompareFakeKey(a.first, b.first) < 0; });
    return cursor;
  }
  std::vector<jet::Value> ReadRow(const std::string& name, jet::RowId id) override {
    ++rows_read;
    Table& t = Find(name);
    size_t i = IndexOf(id);
    if (t.IsDeleted(i)) throw errors::RecordDeleted();
    return t.rows.at(i);
  }
  std::unique_ptr<jet::RowReader> OpenRowReader(const std::string& name) override {
    return std::make_unique<Reader>(this, &Find(name));
  }

  // ---- writing ----
  bool writable() const override { return writable_; }
  void BeginStatement() override {
    if (!writable_) ThrowReadOnly();
    snapshot_ = tables_;
    ++statements;
  }
  void CommitStatement() override { snapshot_.clear(); }
  void RollbackStatement() override {
    tables_ = snapshot_;
    writes.clear();
    ++rollbacks;
  }
  jet::RowId InsertRow(const std::string& name, std::vector<jet::Value> values) override {
    Table& t = Find(name);
    Check(t, values, t.rows.size());
    for (size_t c = 0; c < values.size(); ++c) {
      if (!t.def->columns[c].autonumber) continue;
      if (jet::IsNull(values[c])) {
        values[c] = t.next_autonumber;
      }
      t.next_autonumber = std::max(t.next_autonumber, std::get<int32_t>(values[c]) + 1);
    }
    t.rows.push_back(values);
    jet::RowId id = IdOf(t.rows.size() - 1);
    writes.push_back({Write::Kind::kInsert, t.def->name, id, std::move(values)});
    return id;
  }
  void UpdateRow(const std::string& name, jet::RowId id, std::vector<jet::Value> values) override {
    Table& t = Find(name);
    size_t i = IndexOf(id);
    if (i >= t.rows.size() || t.IsDeleted(i)) {
      throw errors::RecordDeleted();
    }
    Check(t, values, i);
    t.rows[i] = values;
    writes.push_back({Write::Kind::kUpdate, t.def->name, id, std::move(values)});
  }
  void DeleteRow(const std::string& name, jet::RowId id) override {
    Table& t = Find(name);
    size_t i = IndexOf(id);
    if (i >= t.rows.size() || t.IsDeleted(i)) {
      throw errors::RecordDeleted();
    }
    t.deleted.resize(t.rows.size());
    t.deleted[i] = true;
    writes.push_back({Write::Kind::kDelete, t.def->name, id, {}});
  }

  // The live rows of a table in storage order.
  std::vector<std::vector<jet::Value>> LiveRows(const std::string& name) {
    Table& t = Find(name);
    std::vector<std::vector<jet::Value>> out;
    for (size_t i = 0; i < t.rows.size(); ++i) {
      if (!t.IsDeleted(i)) out.push_back(t.rows[i]);
    }
    return out;
  }

  void set_writable(bool w) { writable_ = w; }

  int rows_read = 0;               // rows fetched by id
  int rows_scanned = 0;            // rows passed by table scans
  std::map<int, int> values_read;  // by column position: values taken from scans and row readers
  bool index_fails = false;
  std::vector<Write> writes;  // since the last rollback
  int statements = 0;
  int rollbacks = 0;

 private:
  static constexpr size_t kRowsPerPage = 100;

  bool writable_ = false;
  std::map<std::string, Table> snapshot_;

  static size_t IndexOf(jet::RowId id) {
    return static_cast<size_t>(id.page - 1) * kRowsPerPage + id.row;
  }

  // The engine's checks, made before anything changes.
  void Check(const Table& t, const std::vector<jet::Value>& values, size_t self) {
    if (values.size() != t.def->columns.size()) {
      throw jet::Error(jet::err::kTypeMismatch, "wrong number of values");
    }
    for (size_t c = 0; c < values.size(); ++c) {
      const jet::ColumnDef& col = t.def->columns[c];
      if (jet::IsNull(values[c])) {
        if (!col.nullable && !col.autonumber) {
          throw errors::RequiredNull(t.def->name, col.name);
        }
        continue;
      }
      if (TypeOf(values[c]) != col.type &&
          !(col.type == jet::ColumnType::kMemo && IsTextValue(values[c]))) {
        throw jet::Error(jet::err::kTypeMismatch, "value of the wrong type for " + col.name);
      }
      if (col.type == jet::ColumnType::kText &&
          Utf8ToU32(std::get<std::string>(values[c])).size() * 2 > col.size) {
        throw errors::FieldTooSmall();
      }
    }
    for (const auto& index : t.def->indexes) {
      if (!index.unique && !index.primary) continue;
      for (size_t r = 0; r < t.rows.size(); ++r) {
        if (r == self || t.IsDeleted(r)) continue;
        bool same = true;
        for (const auto& ic : index.columns) {
          const auto& a = values[static_cast<size_t>(ic.column)];
          const auto& b = t.rows[r][static_cast<size_t>(ic.column)];
          if (jet::IsNull(a) || jet::IsNull(b) || CompareFakeKey(a, b) != 0) same = false;
        }
        if (same) throw errors::DuplicateKey();
      }
    }
  }

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
      Settle();
      if (Valid()) ++db_->rows_scanned;
    }
    bool Valid() const override { return i_ < t_->rows.size(); }
    void Next() override {
      ++i_;
      Settle();
      if (Valid()) ++db_->rows_scanned;
    }
    void Settle() {
      while (i_ < t_->rows.size() && t_->IsDeleted(i_)) ++i_;
    }
    jet::RowId row_id() const override { return IdOf(i_); }
    jet::Value value(int column) override {
      ++db_->values_read[column];
      return t_->rows[i_].at(static_cast<size_t>(column));
    }

   private:
    FakeDatabase* db_;
    Table* t_;
    size_t i_ = 0;
  };

  class Reader : public jet::RowReader {
   public:
    Reader(FakeDatabase* db, Table* t) : db_(db), t_(t) {}
    void Seek(jet::RowId id) override {
      ++db_->rows_read;
      i_ = IndexOf(id);
      if (i_ >= t_->rows.size() || t_->IsDeleted(i_)) throw errors::RecordDeleted();
    }
    void ReadValue(int column, jet::Value& out) override {
      ++db_->values_read[column];
      out = t_->rows[i_].at(static_cast<size_t>(column));
    }

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
