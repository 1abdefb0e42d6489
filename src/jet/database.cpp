#include <filesystem>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "jet/catalog.h"
#include "jet/column_adder.h"
#include "jet/column_alterer.h"
#include "jet/column_dropper.h"
#include "jet/database.h"
#include "jet/database_file.h"
#include "jet/env.h"
#include "jet/file.h"
#include "jet/format_error.h"
#include "jet/header.h"
#include "jet/index_creator.h"
#include "jet/index_dropper.h"
#include "jet/index_tree.h"
#include "jet/name_fold.h"
#include "jet/other_databases.h"
#include "jet/pager.h"
#include "jet/relationship_writer.h"
#include "jet/row_codec.h"
#include "jet/shared_file.h"
#include "jet/table_creator.h"
#include "jet/table_dropper.h"
#include "jet/table_scan.h"
#include "jet/table_writer.h"
#include "jet/tdef_page.h"

namespace jet {
namespace {

// The smallest file with a catalogue: the header, the global usage map and MSysObjects.
constexpr uint32_t kMinimumPages = catalog::kObjectsDefinitionPage + 1;

// Runs `f`, giving format errors from the engine's inner parts the file's path.
template <typename F>
auto WithPath(const std::string& path, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const Error& e) {
    if (IsCorruptWithoutPath(e)) throw errors::UnrecognizedFormat(path);
    throw;
  } catch (const std::bad_alloc&) {
    throw errors::UnrecognizedFormat(path);
  } catch (const std::length_error&) {
    throw errors::UnrecognizedFormat(path);
  }
}

class PathTableCursor : public TableCursor {
 public:
  PathTableCursor(std::unique_ptr<TableCursor> inner, const std::string& path)
      : inner_(std::move(inner)), path_(path) {}
  bool Valid() const override { return inner_->Valid(); }
  void Next() override {
    WithPath(path_, [&] { inner_->Next(); });
  }
  RowId row_id() const override { return inner_->row_id(); }
  Value value(int column) override {
    return WithPath(path_, [&] { return inner_->value(column); });
  }
  void ReadValue(int column, Value& out) override {
    WithPath(path_, [&] { inner_->ReadValue(column, out); });
  }

 private:
  std::unique_ptr<TableCursor> inner_;
  std::string path_;
};

class PathIndexCursor : public IndexCursor {
 public:
  PathIndexCursor(std::unique_ptr<IndexCursor> inner, const std::string& path)
      : inner_(std::move(inner)), path_(path) {}
  void SeekGE(const std::vector<Value>& key) override {
    WithPath(path_, [&] { inner_->SeekGE(key); });
  }
  void SeekFirst() override {
    WithPath(path_, [&] { inner_->SeekFirst(); });
  }
  bool Valid() const override { return inner_->Valid(); }
  void Next() override {
    WithPath(path_, [&] { inner_->Next(); });
  }
  RowId row_id() const override { return inner_->row_id(); }
  int CompareKey(const std::vector<Value>& key) const override {
    return WithPath(path_, [&] { return inner_->CompareKey(key); });
  }

 private:
  std::unique_ptr<IndexCursor> inner_;
  std::string path_;
};

class PathRowReader : public RowReader {
 public:
  PathRowReader(std::unique_ptr<RowReader> inner, const std::string& path)
      : inner_(std::move(inner)), path_(path) {}
  void Seek(RowId id) override {
    WithPath(path_, [&] { inner_->Seek(id); });
  }
  void ReadValue(int column, Value& out) override {
    WithPath(path_, [&] { inner_->ReadValue(column, out); });
  }

 private:
  std::unique_ptr<RowReader> inner_;
  std::string path_;
};

// Database::OpenRowReader's default: whole rows through ReadRow.
class WholeRowReader : public RowReader {
 public:
  WholeRowReader(Database& db, std::string table) : db_(db), table_(std::move(table)) {}
  void Seek(RowId id) override { row_ = db_.ReadRow(table_, id); }
  void ReadValue(int column, Value& out) override {
    if (column < 0 || static_cast<size_t>(column) >= row_.size()) throw errors::ItemNotFound();
    out = row_[static_cast<size_t>(column)];
  }

 private:
  Database& db_;
  std::string table_;
  std::vector<Value> row_;
};

class JetDatabase : public Database {
 public:
  // Over `shared` when given (a file of the file system), else over `file` alone.
  JetDatabase(std::string path, std::unique_ptr<RandomAccessFile> file,
              std::unique_ptr<SharedFile> shared, const Header& header, size_t cache_pages,
              Env& env, int link_depth)
      : others_(env, path, link_depth),
        path_(std::move(path)),
        file_(std::move(file)),
        shared_(std::move(shared)),
        header_(header),
        pages_(shared_ ? shared_->file() : *file_, shared_ ? shared_->writable() : nullptr,
               header.page_size, header.database_key, cache_pages, shared_.get()) {
    pages_.BeginRead();
    try {
      if (pages_.page_count() < kMinimumPages) ThrowCorrupt("file too short");
      LoadCatalog();
    } catch (...) {
      pages_.EndRead();
      throw;
    }
    pages_.EndRead();
  }

  void BeginRead() override {
    WithPath(path_, [&] {
      pages_.BeginRead();
      try {
        ReloadIfChanged();
      } catch (...) {
        pages_.EndRead();
        throw;
      }
    });
    try {
      others_.BeginRead();
    } catch (...) {
      pages_.EndRead();
      throw;
    }
  }
  void EndRead() override {
    others_.EndRead();
    pages_.EndRead();
  }

  std::shared_ptr<Database> OtherDatabase(const std::string& path) override {
    return others_.Named(path);
  }
  std::string OtherDatabasePath(const std::string& path) override {
    std::string resolved = others_.PathOf(path);
    std::error_code ec;
    if (std::filesystem::equivalent(resolved, path_, ec)) return "";
    return resolved;
  }

  bool writable() const override { return pages_.writable(); }
  void BeginStatement() override {
    if (!pages_.writable()) ThrowReadOnly();
    WithPath(path_, [&] {
      pages_.Begin();
      try {
        ReloadIfChanged();
      } catch (...) {
        pages_.Rollback();
        throw;
      }
    });
  }
  void CommitStatement() override {
    try {
      pages_.Commit();
    } catch (...) {
      EndStatementWriters();
      throw;
    }
    EndStatementWriters();
  }
  void RollbackStatement() override {
    pages_.Rollback();
    EndStatementWriters();
    // What was read inside the statement may show its changes.
    reload_pending_ = true;
    try {
      Reload();
    } catch (const Error&) {
      // The next BeginRead or BeginStatement tries again.
    }
  }

  JetVersion version() const override { return header_.version; }

  std::vector<CatalogEntry> Tables() override {
    std::vector<CatalogEntry> out;
    out.reserve(catalog_.size());
    for (const CatalogTable& t : catalog_) out.push_back(t.entry);
    return out;
  }

  std::shared_ptr<const TableDef> GetTableDef(const std::string& name) override {
    if (const CatalogTable* t = LinkedJetTable(name)) return LinkedDef(*t);
    return WithPath(path_, [&] { return Layout(name)->def; });
  }

  std::unique_ptr<TableCursor> Scan(const std::string& table) override {
    if (const CatalogTable* t = LinkedJetTable(table)) {
      return others_.Linked(t->linked_database)->Scan(t->linked_table);
    }
    return WithPath(path_, [&]() -> std::unique_ptr<TableCursor> {
      auto layout = ReadableLayout(table);
      return std::make_unique<PathTableCursor>(OpenTableScan(pages_, header_.version, layout),
                                               path_);
    });
  }

  std::unique_ptr<IndexCursor> OpenIndex(const std::string& table, int index) override {
    if (const CatalogTable* t = LinkedJetTable(table)) {
      return others_.Linked(t->linked_database)->OpenIndex(t->linked_table, index);
    }
    return WithPath(path_, [&]() -> std::unique_ptr<IndexCursor> {
      auto layout = ReadableLayout(table);
      if (index < 0 || static_cast<size_t>(index) >= layout->def->indexes.size()) {
        throw errors::ItemNotFound();
      }
      size_t i = static_cast<size_t>(index);
      return std::make_unique<PathIndexCursor>(
          OpenIndexTree(in_place_, header_.version, layout->def->indexes[i].root_page,
                        layout->index_keys[i]),
          path_);
    });
  }

  std::vector<Value> ReadRow(const std::string& table, RowId id) override {
    if (const CatalogTable* t = LinkedJetTable(table)) {
      return others_.Linked(t->linked_database)->ReadRow(t->linked_table, id);
    }
    return WithPath(path_, [&] {
      auto layout = ReadableLayout(table);
      std::vector<uint8_t> bytes = ReadRowBytes(in_place_, header_.version, *layout, id);
      RowView view(bytes, header_.version, *layout);
      std::vector<Value> values;
      values.reserve(layout->def->columns.size());
      for (size_t i = 0; i < layout->def->columns.size(); ++i) {
        values.push_back(DecodeColumn(view, i, *layout, header_.version, in_place_));
      }
      return values;
    });
  }

  std::unique_ptr<RowReader> OpenRowReader(const std::string& table) override {
    if (const CatalogTable* t = LinkedJetTable(table)) {
      return others_.Linked(t->linked_database)->OpenRowReader(t->linked_table);
    }
    return WithPath(path_, [&]() -> std::unique_ptr<RowReader> {
      return std::make_unique<PathRowReader>(
          OpenTableRowReader(in_place_, header_.version, ReadableLayout(table)), path_);
    });
  }

  RowId InsertRow(const std::string& table, std::vector<Value> values) override {
    return Write(table, [&](TableWriter& w) { return w.Insert(std::move(values)); });
  }

  void UpdateRow(const std::string& table, RowId id, std::vector<Value> values) override {
    Write(table, [&](TableWriter& w) {
      w.Update(id, std::move(values));
      return 0;
    });
  }
  void UpdateRowColumns(const std::string& table, RowId id, std::vector<Value> values,
                        const std::vector<bool>& assigned) override {
    Write(table, [&](TableWriter& w) {
      w.Update(id, std::move(values), &assigned);
      return 0;
    });
  }

  void DeleteRow(const std::string& table, RowId id) override {
    Write(table, [&](TableWriter& w) {
      w.Delete(id);
      return 0;
    });
  }

  void CreateTable(const NewTable& table) override {
    ChangeSchema([&] { CreateTableInFile(pages_, *this, table); });
  }
  void DropTable(const std::string& name) override {
    ChangeSchema([&] { DropTableFromFile(pages_, *this, name); });
  }
  void CreateIndex(const std::string& table, const IndexDef& index) override {
    ChangeSchema([&] { CreateIndexInFile(pages_, *this, table, index); });
  }
  void DropIndex(const std::string& table, const std::string& index) override {
    ChangeSchema([&] { DropIndexFromFile(pages_, *this, table, index); });
  }
  void AddColumn(const std::string& table, const ColumnDef& column) override {
    ChangeSchema([&] { AddColumnInFile(pages_, *this, table, column); });
  }
  void CreateRelationship(const Relationship& relationship) override {
    ChangeSchema([&] { CreateRelationshipInFile(pages_, *this, relationship); });
  }
  void DropRelationship(const std::string& table, const std::string& name) override {
    ChangeSchema([&] { DropRelationshipFromFile(pages_, *this, table, name); });
  }
  void DropColumn(const std::string& table, const std::string& column) override {
    ChangeSchema([&] { DropColumnFromFile(pages_, *this, table, column); });
  }
  void AlterColumn(const std::string& table, const std::string& column, const ColumnDef& changed,
                   const ColumnValueConverter& convert) override {
    ChangeSchema([&] { AlterColumnInFile(pages_, *this, table, column, changed, convert); });
  }

 private:
  void LoadCatalog() {
    catalog_ = ReadCatalog(pages_, header_.version);
    by_name_.clear();
    layouts_.clear();
    for (size_t i = 0; i < catalog_.size(); ++i) {
      by_name_.emplace(FoldName(catalog_[i].entry.name), i);  // the first of equal names wins
    }
    changes_seen_ = pages_.changes_seen();
    reload_pending_ = false;
  }
  // Another process committed: what was read from the old state goes.
  void ReloadIfChanged() {
    if (reload_pending_ || pages_.changes_seen() != changes_seen_) Reload();
  }
  void Reload() {
    pages_.BeginRead();
    try {
      LoadCatalog();
    } catch (...) {
      pages_.EndRead();
      throw;
    }
    pages_.EndRead();
  }

  // Runs one row change; outside a statement it is a statement of its own.
  template <typename F>
  auto Write(const std::string& table, F&& change)
      -> decltype(change(std::declval<TableWriter&>())) {
    if (!writable()) ThrowReadOnly();
    bool own_statement = !pages_.in_transaction();
    if (own_statement) BeginStatement();
    try {
      auto result = WithPath(path_, [&] { return change(WriterFor(table)); });
      if (own_statement) CommitStatement();
      return result;
    } catch (...) {
      if (own_statement) RollbackStatement();
      throw;
    }
  }

  // Runs one change of the catalogue or a definition; outside a statement it is a statement of
  // its own. Whatever was read of the catalogue and definitions is read again afterwards.
  template <typename F>
  void ChangeSchema(F&& change) {
    if (!writable()) ThrowReadOnly();
    bool own_statement = !pages_.in_transaction();
    if (own_statement) BeginStatement();
    try {
      EndStatementWriters();
      WithPath(path_, [&] {
        change();
        LoadCatalog();
      });
      if (own_statement) CommitStatement();
    } catch (...) {
      if (own_statement) {
        RollbackStatement();
      } else {
        reload_pending_ = true;
        EndStatementWriters();
        layouts_.clear();
      }
      throw;
    }
  }

  // The catalogue's entry when `name` is a table linked from another Jet file, else null.
  const CatalogTable* LinkedJetTable(const std::string& name) const {
    auto found = by_name_.find(FoldName(name));
    if (found == by_name_.end()) return nullptr;
    const CatalogTable& t = catalog_[found->second];
    bool jet_link = t.entry.linked && (t.entry.attributes & catalog::kAttachedTable) != 0;
    return jet_link ? &t : nullptr;
  }

  // A linked table's definition: that of its table in the other file, under its name here.
  std::shared_ptr<const TableDef> LinkedDef(const CatalogTable& t) {
    std::string key = FoldName(t.entry.name);
    auto found = layouts_.find(key);
    if (found != layouts_.end()) return found->second->def;
    auto def =
        std::make_shared<TableDef>(*others_.Linked(t.linked_database)->GetTableDef(t.linked_table));
    def->name = t.entry.name;
    auto layout = std::make_shared<TableLayout>();
    layout->def = def;
    layouts_.emplace(key, layout);
    return def;
  }

  // The writer of `table` for the open statement. Its layout is read once per statement: the
  // row changes keep the definition's pages up to date themselves and only its counts change.
  TableWriter& WriterFor(const std::string& table) {
    std::string key = FoldName(Find(table).entry.name);
    auto found = writers_.find(key);
    if (found != writers_.end()) return *found->second;
    auto writer = std::make_unique<TableWriter>(pages_, ReadableLayout(table));
    return *writers_.emplace(std::move(key), std::move(writer)).first->second;
  }

  // The statement ended: the definitions it changed are read again when next asked for.
  void EndStatementWriters() {
    for (const auto& entry : writers_) layouts_.erase(entry.first);
    writers_.clear();
  }

  const CatalogTable& Find(const std::string& name) const {
    auto found = by_name_.find(FoldName(name));
    if (found != by_name_.end()) return catalog_[found->second];
    throw errors::UnknownTable(name);
  }

  std::shared_ptr<const TableLayout> Layout(const std::string& name) {
    const CatalogTable& t = Find(name);
    std::string key = FoldName(t.entry.name);
    auto found = layouts_.find(key);
    if (found != layouts_.end()) return found->second;
    std::shared_ptr<TableLayout> layout;
    if (t.entry.linked) {
      layout = std::make_shared<TableLayout>();
      auto def = std::make_shared<TableDef>();
      def->name = t.entry.name;
      layout->def = std::move(def);
    } else {
      layout = std::make_shared<TableLayout>(
          ReadTableLayout(pages_, header_.version, t.definition_page, t.entry.name));
    }
    layouts_.emplace(key, layout);
    return layout;
  }

  // The layout of a table whose rows can be read here: not a linked one.
  std::shared_ptr<const TableLayout> ReadableLayout(const std::string& name) {
    const CatalogTable& t = Find(name);
    if (t.entry.linked) {
      throw errors::LinkedTable(t.entry.name, t.linked_database);
    }
    return Layout(name);
  }

  OtherDatabases others_;
  std::string path_;
  std::unique_ptr<RandomAccessFile> file_;
  std::unique_ptr<SharedFile> shared_;
  Header header_;
  Pager pages_;
  // Index walks and rows by id jump about the file: they read pages in place.
  InPlacePages in_place_{pages_};
  uint64_t changes_seen_ = 0;
  bool reload_pending_ = false;
  std::vector<CatalogTable> catalog_;
  std::unordered_map<std::string, size_t> by_name_;  // folded name -> catalog_ position
  std::unordered_map<std::string, std::shared_ptr<const TableLayout>> layouts_;
  // Writers of the tables changed in the open statement, by folded name.
  std::unordered_map<std::string, std::unique_ptr<TableWriter>> writers_;
};

// The header of a Jet file, refused unless it can be opened here.
Header ReadJetHeader(RandomAccessFile& file, const std::string& path) {
  std::vector<uint8_t> start(header::kMinimumLength);
  start.resize(file.Read(0, start));
  Header header;
  switch (ParseHeader(start, header)) {
    case HeaderVerdict::kNotJet:
    case HeaderVerdict::kAce:
      throw errors::UnrecognizedFormat(path);
    case HeaderVerdict::kJet:
      break;
  }
  if (header.has_password) throw errors::PasswordInvalid();
  return header;
}

}  // namespace

std::unique_ptr<Database> Database::Open(const std::string& path) {
  return OpenDatabaseWithEnv(Env::Default(), path, false);
}

std::unique_ptr<RowReader> Database::OpenRowReader(const std::string& table) {
  return std::make_unique<WholeRowReader>(*this, table);
}

std::shared_ptr<Database> Database::OtherDatabase(const std::string& path) {
  if (!Env::Default().FileExists(path)) throw errors::FileNotFound(path);
  return Open(path);
}

std::string Database::OtherDatabasePath(const std::string& path) {
  if (!Env::Default().FileExists(path)) throw errors::FileNotFound(path);
  return path;
}

std::unique_ptr<Database> OpenLinkedDatabase(Env& env, const std::string& path, int depth) {
  std::unique_ptr<SharedFile> shared = SharedFile::Open(env, path, false);
  return WithPath(path, [&]() -> std::unique_ptr<Database> {
    Header header = ReadJetHeader(shared->file(), path);
    return std::make_unique<JetDatabase>(path, nullptr, std::move(shared), header, 256, env, depth);
  });
}

void Database::ThrowReadOnly() {
  throw errors::ReadOnly();
}

RowId Database::InsertRow(const std::string&, std::vector<Value>) {
  ThrowReadOnly();
}
void Database::UpdateRow(const std::string&, RowId, std::vector<Value>) {
  ThrowReadOnly();
}
void Database::DeleteRow(const std::string&, RowId) {
  ThrowReadOnly();
}
void Database::CreateTable(const NewTable&) {
  ThrowReadOnly();
}
void Database::DropTable(const std::string&) {
  ThrowReadOnly();
}
void Database::CreateIndex(const std::string&, const IndexDef&) {
  ThrowReadOnly();
}
void Database::DropIndex(const std::string&, const std::string&) {
  ThrowReadOnly();
}
void Database::AddColumn(const std::string&, const ColumnDef&) {
  ThrowReadOnly();
}
void Database::CreateRelationship(const Relationship&) {
  ThrowReadOnly();
}
void Database::DropRelationship(const std::string&, const std::string&) {
  ThrowReadOnly();
}
void Database::DropColumn(const std::string&, const std::string&) {
  ThrowReadOnly();
}
void Database::AlterColumn(const std::string&, const std::string&, const ColumnDef&,
                           const ColumnValueConverter&) {
  ThrowReadOnly();
}

std::unique_ptr<Database> Database::OpenForWriting(const std::string& path) {
  return OpenDatabaseWithEnv(Env::Default(), path, true);
}

std::unique_ptr<Database> OpenDatabaseWithEnv(Env& env, const std::string& path, bool for_writing,
                                              size_t page_cache_pages) {
  std::unique_ptr<SharedFile> shared = SharedFile::Open(env, path, for_writing);
  return WithPath(path, [&]() -> std::unique_ptr<Database> {
    Header header = ReadJetHeader(shared->file(), path);
    if (for_writing) {
      if (header.version == JetVersion::kJet3) {
        throw errors::ReadOnly();
      }
      shared->JoinLockFile();
    }
    return std::make_unique<JetDatabase>(path, nullptr, std::move(shared), header, page_cache_pages,
                                         env, 0);
  });
}

std::unique_ptr<Database> OpenDatabaseFile(std::unique_ptr<RandomAccessFile> file,
                                           const std::string& path, size_t page_cache_pages) {
  return WithPath(path, [&]() -> std::unique_ptr<Database> {
    Header header = ReadJetHeader(*file, path);
    return std::make_unique<JetDatabase>(path, std::move(file), nullptr, header, page_cache_pages,
                                         Env::Default(), 0);
  });
}

}  // namespace jet
