#include "jet/catalog_rows.h"

#include <ctime>

#include "jet/catalog.h"
#include "jet/column_lookup.h"
#include "jet/name_fold.h"

namespace jet {
DateTime NowAsJetDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  constexpr double kUnixEpochDays = 25569;
  double seconds = static_cast<double>(now) + static_cast<double>(local.tm_gmtoff);
  return DateTime{kUnixEpochDays + static_cast<double>(static_cast<int64_t>(seconds)) / 86400.0};
}

std::vector<ObjectRow> ReadObjectRows(Database& db) {
  std::shared_ptr<const TableDef> def = db.GetTableDef(catalog::kObjectsTable);
  int id = FindColumn(*def, "Id");
  int parent = FindColumn(*def, "ParentId");
  int name = FindColumn(*def, "Name");
  int type = FindColumn(*def, "Type");
  int flags = FindColumn(*def, "Flags");
  int owner = FindColumn(*def, "Owner");
  std::vector<ObjectRow> rows;
  for (auto c = db.Scan(catalog::kObjectsTable); c->Valid(); c->Next()) {
    ObjectRow r;
    r.row = c->row_id();
    r.id = ValueAs<int32_t>(*c, id).value_or(0);
    r.parent_id = ValueAs<int32_t>(*c, parent).value_or(0);
    r.name = ValueAs<std::string>(*c, name).value_or("");
    r.type = ValueAs<int16_t>(*c, type).value_or(0);
    r.flags = static_cast<uint32_t>(ValueAs<int32_t>(*c, flags).value_or(0));
    r.owner = ValueAs<Bytes>(*c, owner).value_or(Bytes{});
    rows.push_back(std::move(r));
  }
  return rows;
}

int32_t TablesContainerId(const std::vector<ObjectRow>& rows) {
  for (const ObjectRow& r : rows) {
    if (r.type == catalog::kTypeContainer && SameName(r.name, catalog::kTablesContainer)) {
      return r.id;
    }
  }
  return catalog::kTablesContainerId;
}

std::optional<ObjectRow> FindTableObject(const std::vector<ObjectRow>& rows,
                                         const std::string& name) {
  int32_t tables = TablesContainerId(rows);
  for (const ObjectRow& r : rows) {
    if (r.parent_id == tables && SameName(r.name, name)) return r;
  }
  return std::nullopt;
}

void InsertTableObject(Database& db, const std::vector<ObjectRow>& rows, const std::string& name,
                       uint32_t definition_page) {
  // New objects belong to the owner of the database's own object, as Access makes them.
  Bytes owner = {0xa6, 0x33};
  for (const ObjectRow& r : rows) {
    if (SameName(r.name, catalog::kDatabaseObject) && !r.owner.empty()) owner = r.owner;
  }
  std::shared_ptr<const TableDef> def = db.GetTableDef(catalog::kObjectsTable);
  std::vector<Value> values(def->columns.size());
  auto set = [&](const char* column, Value v) {
    int i = FindColumn(*def, column);
    if (i >= 0) values[static_cast<size_t>(i)] = std::move(v);
  };
  DateTime now = NowAsJetDate();
  int32_t tables = TablesContainerId(rows);
  set("Id", static_cast<int32_t>(definition_page));
  set("ParentId", tables);
  set("Name", name);
  set("Type", catalog::kTypeLocalTable);
  set("DateCreate", now);
  set("DateUpdate", now);
  set("Owner", owner);
  set("Flags", int32_t{0});
  db.InsertRow(catalog::kObjectsTable, std::move(values));
  InsertAccessControlEntries(db, tables, static_cast<int32_t>(definition_page));
}

namespace {

bool HasTable(Database& db, const char* name) {
  for (const CatalogEntry& e : db.Tables()) {
    if (SameName(e.name, name)) return true;
  }
  return false;
}

}  // namespace

void InsertAccessControlEntries(Database& db, int32_t container, int32_t object) {
  if (!HasTable(db, catalog::kAccessControlTable)) return;
  std::shared_ptr<const TableDef> def = db.GetTableDef(catalog::kAccessControlTable);
  int id = FindColumn(*def, "ObjectId");
  int sid = FindColumn(*def, "SID");
  int acm = FindColumn(*def, "ACM");
  int inheritable = FindColumn(*def, "FInheritable");
  if (id < 0 || sid < 0 || acm < 0) return;
  std::vector<Bytes> sids;
  for (auto c = db.Scan(catalog::kAccessControlTable); c->Valid(); c->Next()) {
    if (ValueAs<int32_t>(*c, id).value_or(0) == container)
      sids.push_back(ValueAs<Bytes>(*c, sid).value_or(Bytes{}));
  }
  if (sids.empty()) sids.push_back({0xa6, 0x33});
  for (const Bytes& s : sids) {
    std::vector<Value> values(def->columns.size());
    values[static_cast<size_t>(id)] = object;
    values[static_cast<size_t>(sid)] = s;
    values[static_cast<size_t>(acm)] = catalog::kFullAccess;
    if (inheritable >= 0) values[static_cast<size_t>(inheritable)] = false;
    db.InsertRow(catalog::kAccessControlTable, std::move(values));
  }
}

void DeleteAccessControlEntries(Database& db, int32_t object) {
  if (!HasTable(db, catalog::kAccessControlTable)) return;
  std::shared_ptr<const TableDef> def = db.GetTableDef(catalog::kAccessControlTable);
  int id = FindColumn(*def, "ObjectId");
  if (id < 0) return;
  std::vector<RowId> doomed;
  for (auto c = db.Scan(catalog::kAccessControlTable); c->Valid(); c->Next()) {
    if (ValueAs<int32_t>(*c, id).value_or(0) == object) doomed.push_back(c->row_id());
  }
  for (RowId row : doomed) db.DeleteRow(catalog::kAccessControlTable, row);
}

bool InRelationship(Database& db, const std::string& table) {
  bool present = false;
  for (const CatalogEntry& e : db.Tables())
    present |= SameName(e.name, catalog::kRelationshipsTable);
  if (!present) return false;
  std::shared_ptr<const TableDef> def = db.GetTableDef(catalog::kRelationshipsTable);
  int object = FindColumn(*def, "szObject");
  int referenced = FindColumn(*def, "szReferencedObject");
  for (auto c = db.Scan(catalog::kRelationshipsTable); c->Valid(); c->Next()) {
    if (SameName(ValueAs<std::string>(*c, object).value_or(""), table) ||
        SameName(ValueAs<std::string>(*c, referenced).value_or(""), table)) {
      return true;
    }
  }
  return false;
}

TableLayout ReadUserTableForChange(Pager& pager, Database& db, const std::string& table) {
  std::vector<ObjectRow> rows = ReadObjectRows(db);
  std::optional<ObjectRow> object = FindTableObject(rows, table);
  if (!object || object->type != catalog::kTypeLocalTable) {
    throw errors::TableOrConstraintNotFound(table);
  }
  if ((object->flags & catalog::kSystemObjectMask) != 0) throw errors::ReadOnly();
  uint32_t tdef_page = static_cast<uint32_t>(object->id) & catalog::kIdPageMask;
  return ReadTableLayout(pager, JetVersion::kJet4, tdef_page, object->name);
}

}  // namespace jet
