// libFuzzer target for the Jet SQL front end: any input is parsed and bound against a small
// made-up catalogue; statements that bind are prepared on SQLite with the real Jet functions and
// tables of the same shape. The only acceptable failure is a jet::Error with a number.

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "jet/error.h"
#include "jet/name_fold.h"
#include "jetsql/binder.h"
#include "jetsql/parser.h"
#include "jetsql/sqlite_bridge.h"

namespace {

using CT = jet::ColumnType;

class FuzzCatalog : public jetsql::Catalog {
 public:
  FuzzCatalog() {
    Add("Kunden", {{"KundenID", CT::kLong},
                   {"Name", CT::kText},
                   {"Aktiv", CT::kBoolean},
                   {"Rabatt", CT::kDouble},
                   {"Seit", CT::kDateTime}});
    Add("Bestellungen", {{"BestellID", CT::kLong},
                         {"KundenID", CT::kLong},
                         {"Betrag", CT::kCurrency},
                         {"Genau", CT::kNumeric},
                         {"Notiz", CT::kMemo}});
  }
  std::shared_ptr<const jet::TableDef> FindTable(const std::string& name) override {
    auto it = tables_.find(jet::FoldName(name));
    return it == tables_.end() ? nullptr : it->second;
  }
  const std::map<std::string, std::shared_ptr<jet::TableDef>>& tables() const { return tables_; }

 private:
  void Add(const std::string& name, const std::vector<std::pair<std::string, CT>>& columns) {
    auto def = std::make_shared<jet::TableDef>();
    def->name = name;
    for (const auto& [n, t] : columns) {
      jet::ColumnDef c;
      c.name = n;
      c.type = t;
      def->columns.push_back(c);
    }
    tables_[jet::FoldName(name)] = def;
  }
  std::map<std::string, std::shared_ptr<jet::TableDef>> tables_;
};

sqlite3* Connection(const FuzzCatalog& catalog) {
  static sqlite3* db = [&] {
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    jetsql::RegisterJetFunctions(d);
    for (const auto& [key, def] : catalog.tables()) {
      std::string sql = "CREATE TEMP TABLE " + jetsql::VirtualTableName(def->name) + " (";
      for (size_t i = 0; i < def->columns.size(); ++i) {
        sql += (i ? ", " : "") + jetsql::QuoteIdentifier(def->columns[i].name);
      }
      sqlite3_exec(d, (sql + ")").c_str(), nullptr, nullptr, nullptr);
    }
    return d;
  }();
  return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzCatalog catalog;
  std::string sql(reinterpret_cast<const char*>(data), size);
  try {
    jetsql::Statement stmt = jetsql::Parse(sql);
    jetsql::BoundStatement bound = jetsql::Bind(stmt, catalog);
    const std::string& out = bound.sql.empty() ? bound.pivot_probe_sql : bound.sql;
    if (!out.empty()) {
      sqlite3_stmt* prepared = nullptr;
      sqlite3_prepare_v2(Connection(catalog), out.c_str(), -1, &prepared, nullptr);
      sqlite3_finalize(prepared);
    }
  } catch (const jet::Error& e) {
    if (e.number() == 0) std::abort();
  }
  return 0;
}
