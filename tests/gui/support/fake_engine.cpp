#include "gui/support/fake_engine.h"

namespace testing_gui {

namespace {
class FakeDatabase : public jet::Database {
 public:
  explicit FakeDatabase(std::vector<FakeTable> tables) : tables_(std::move(tables)) {}
  jet::JetVersion version() const override { return jet::JetVersion::kJet4; }
  std::vector<jet::CatalogEntry> Tables() override {
    std::vector<jet::CatalogEntry> out;
    for (const FakeTable& t : tables_) {
      jet::CatalogEntry e;
      e.name = t.name;
      e.attributes = t.attributes;
      e.system = (t.attributes & 0x80000002u) != 0;
      out.push_back(e);
    }
    return out;
  }
  std::shared_ptr<const jet::TableDef> GetTableDef(const std::string& name) override {
    for (const FakeTable& t : tables_) {
      if (t.name != name) continue;
      auto def = std::make_shared<jet::TableDef>();
      def->name = t.name;
      for (const std::string& f : t.fields) {
        jet::ColumnDef c;
        c.name = f;
        def->columns.push_back(c);
      }
      return def;
    }
    throw jet::Error(jet::err::kTableNotFound, "Tabelle '" + name + "' nicht gefunden.");
  }
  std::unique_ptr<jet::TableCursor> Scan(const std::string&) override { return nullptr; }
  std::unique_ptr<jet::IndexCursor> OpenIndex(const std::string&, int) override { return nullptr; }
  std::vector<jet::Value> ReadRow(const std::string&, jet::RowId) override { return {}; }

 private:
  std::vector<FakeTable> tables_;
};
}  // namespace

std::shared_ptr<jet::Database> FakeEngine::Open(const std::string& path) {
  ++opens;
  auto it = files.find(path);
  if (it == files.end()) {
    throw jet::Error(jet::err::kUnrecognizedFormat,
                     "Nicht erkanntes Datenbankformat '" + path + "'.");
  }
  return std::make_unique<FakeDatabase>(it->second);
}

void FakeEngine::Execute(const std::string& path, const std::string& sql) {
  if (!executor) {
    throw jet::Error(jet::err::kInvalidSqlStatement,
                     "Diese Datenbank kann nicht geschrieben werden.");
  }
  executor(path, sql);
}

jetsql::RecordSet FakeEngine::Query(const std::string& path, const std::string& sql,
                                    const jetsql::CancelCheck& cancelled) {
  if (!runner) throw jet::Error(jet::err::kInvalidSqlStatement, "Keine Abfrage.");
  cancel_check = cancelled;
  struct Forget {
    jetsql::CancelCheck& check;
    ~Forget() { check = nullptr; }
  } forget{cancel_check};
  return runner(path, sql);
}

void FakeEngine::QueryInto(const std::string& path, const std::string& sql, jetsql::RowSink& sink,
                           const jetsql::CancelCheck& cancelled) {
  if (!streamer) return db::FileEngine::QueryInto(path, sql, sink, cancelled);
  cancel_check = cancelled;
  struct Forget {
    jetsql::CancelCheck& check;
    ~Forget() { check = nullptr; }
  } forget{cancel_check};
  streamer(path, sql, sink);
}

jetsql::RecordSet LongRows(std::vector<std::string> names, int rows) {
  jetsql::RecordSet rs;
  rs.field_names = std::move(names);
  rs.field_types.assign(rs.field_names.size(), jet::ColumnType::kLong);
  for (int r = 0; r < rows; ++r) {
    std::vector<jet::Value> row;
    for (size_t c = 0; c < rs.field_names.size(); ++c) row.emplace_back(static_cast<int32_t>(r));
    rs.rows.push_back(std::move(row));
  }
  return rs;
}

}  // namespace testing_gui
