#include "jet/database_creator.h"

#include <memory>
#include <optional>

#include "error/errors.h"
#include "jet/byte_writer.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/data_page_writer.h"
#include "jet/env.h"
#include "jet/header.h"
#include "jet/header_writer.h"
#include "jet/memory_file.h"
#include "jet/pager.h"
#include "jet/schema_pages.h"
#include "jet/table_page_allocator.h"
#include "jet/table_writer.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"
#include "jet/usage_map.h"

namespace jet {
namespace {

constexpr size_t kPageSize = header::kPageSizeJet4;
constexpr uint8_t kTableTypeSystem = 0x53;
constexpr std::array<uint8_t, 4> kGeneralSortOrder = {0x09, 0x04, 0x00, 0x00};
constexpr uint32_t kGlobalMapPage = global_map::kRow.page;
constexpr size_t kGlobalMapBitmapBytes = usage_map::kNewMapBitmapBytes;

// Ids of the catalogue's own objects.
constexpr int32_t kRootId = 0x0f000000;  // parent of the containers
constexpr int32_t kTablesId = catalog::kTablesContainerId;
constexpr int32_t kDatabasesId = 0x0f000002;
constexpr int32_t kRelationshipsId = 0x0f000003;
constexpr int32_t kDatabaseObjectId = 0x10000000;
constexpr int16_t kTypeDatabase = 2;
constexpr int32_t kSystemFlags = static_cast<int32_t>(0x80000000);

// Accounts as the default workgroup names them.
const Bytes kEngine = {0xa7, 0x31};   // the engine itself
const Bytes kCreator = {0xa7, 0x33};  // the creator of an object
const Bytes kAdmin = {0xa6, 0x33};    // the user Admin
const Bytes kUsers = {0xa7, 0x36};    // the group Users
const Bytes kAdmins = {0xa4, 0xf7, 0x46, 0x67, 0xe1, 0x71, 0x67, 0xee, 0xd7, 0xb1, 0x0f, 0x8f,
                       0xfe, 0xef, 0x76, 0xff, 0xaa, 0xe3, 0x66, 0x51, 0x05, 0xbd, 0xd2, 0x9d,
                       0x4d, 0x4b, 0x39, 0x52, 0xd9, 0xfb, 0x9a, 0x07, 0x66, 0x0c, 0x5b, 0xd2,
                       0xd8, 0x7d, 0xdd, 0xb3, 0x1e, 0x65, 0x90, 0x19};  // the group Admins

ColumnDef Column(const char* name, ColumnType type, uint16_t size = 0) {
  ColumnDef c;
  c.name = name;
  c.type = type;
  c.size = size;
  return c;
}
constexpr uint16_t kText255 = 510;  // bytes
constexpr uint16_t kBinary255 = 255;

struct IndexSpec {
  const char* name;
  std::vector<int> columns;
  uint8_t flags;
};

struct SystemTable {
  TableDef def;
  std::vector<IndexSpec> indexes;
};

SystemTable ObjectsTable() {
  SystemTable t;
  t.def.name = catalog::kObjectsTable;
  t.def.columns = {Column("Id", ColumnType::kLong),
                   Column("ParentId", ColumnType::kLong),
                   Column("Name", ColumnType::kText, kText255),
                   Column("Type", ColumnType::kInteger),
                   Column("DateCreate", ColumnType::kDateTime),
                   Column("DateUpdate", ColumnType::kDateTime),
                   Column("Owner", ColumnType::kBinary, kBinary255),
                   Column("Flags", ColumnType::kLong),
                   Column("Database", ColumnType::kMemo),
                   Column("Connect", ColumnType::kMemo),
                   Column("ForeignName", ColumnType::kText, kText255),
                   Column("RmtInfoShort", ColumnType::kBinary, kBinary255),
                   Column("RmtInfoLong", ColumnType::kOle),
                   Column("Lv", ColumnType::kOle),
                   Column("LvProp", ColumnType::kOle),
                   Column("LvModule", ColumnType::kOle),
                   Column("LvExtra", ColumnType::kOle)};
  t.indexes = {{"Id", {0}, tdef::kIndexUnique}, {"ParentIdName", {1, 2}, tdef::kIndexUnique}};
  return t;
}

SystemTable AccessControlTable() {
  SystemTable t;
  t.def.name = catalog::kAccessControlTable;
  t.def.columns = {Column("ObjectId", ColumnType::kLong),
                   Column("SID", ColumnType::kBinary, kBinary255), Column("ACM", ColumnType::kLong),
                   Column("FInheritable", ColumnType::kBoolean)};
  t.indexes = {{"ObjectId", {0}, tdef::kIndexRequired}};
  return t;
}

SystemTable QueriesTable() {
  SystemTable t;
  t.def.name = "MSysQueries";
  t.def.columns = {Column("ObjectId", ColumnType::kLong),
                   Column("Attribute", ColumnType::kByte),
                   Column("Order", ColumnType::kBinary, kBinary255),
                   Column("Name1", ColumnType::kText, kText255),
                   Column("Name2", ColumnType::kText, kText255),
                   Column("Expression", ColumnType::kMemo),
                   Column("Flag", ColumnType::kInteger),
                   Column("LvExtra", ColumnType::kLong)};
  t.indexes = {{"ObjectIdAttribute", {0, 1, 2}, tdef::kIndexUnique}};
  return t;
}

SystemTable RelationshipsTable() {
  SystemTable t;
  t.def.name = catalog::kRelationshipsTable;
  t.def.columns = {Column("szRelationship", ColumnType::kText, kText255),
                   Column("grbit", ColumnType::kLong),
                   Column("ccolumn", ColumnType::kLong),
                   Column("icolumn", ColumnType::kLong),
                   Column("szObject", ColumnType::kText, kText255),
                   Column("szColumn", ColumnType::kText, kText255),
                   Column("szReferencedObject", ColumnType::kText, kText255),
                   Column("szReferencedColumn", ColumnType::kText, kText255)};
  t.indexes = {{"szObject", {4}, tdef::kIndexIgnoreNulls},
               {"szReferencedObject", {6}, tdef::kIndexIgnoreNulls},
               {"szRelationship", {0}, tdef::kIndexIgnoreNulls}};
  return t;
}

// Page 1: a data page whose first row is the global usage map, an inline map from page 0 that
// marks the pages past the end of the file free, as Access leaves it.
void WriteGlobalMap(Pager& pager) {
  std::span<uint8_t> page = pager.Modify(kGlobalMapPage);
  InitDataPage(page, kGlobalMapPage);
  std::vector<uint8_t> row(usage_map::kInlineBitmapOffset + kGlobalMapBitmapBytes, 0xff);
  row[0] = usage_map::kInline;
  PutU32(row, usage_map::kInlineStartOffset, 0);
  row[usage_map::kInlineBitmapOffset] = 0;  // the header page and this one
  AddPageRow(page, std::move(row), 0);
}

// The definition, usage maps and empty index roots of `table`; returns its definition page.
uint32_t WriteTableStructure(Pager& pager, SystemTable& table) {
  TableDef& def = table.def;
  for (size_t i = 0; i < def.columns.size(); ++i) {
    ColumnDef& c = def.columns[i];
    c.column_number = static_cast<int>(i);
    c.fixed = FixedDataSize(c) > 0 || c.type == ColumnType::kBoolean;
  }
  TableDefinitionPlan plan;
  plan.def = &def;
  plan.text_sort_order = kGeneralSortOrder;
  for (const IndexSpec& spec : table.indexes) {
    IndexDef index;
    index.name = spec.name;
    RealIndexPlan real;
    real.flags = spec.flags;
    for (int column : spec.columns) {
      index.columns.push_back({column, true});
      real.columns.push_back({column, true});
    }
    plan.logical_real.push_back(plan.real.size());
    plan.real.push_back(std::move(real));
    def.indexes.push_back(std::move(index));
  }

  GlobalPages global(pager);
  const uint32_t tdef_page = AllocateNewTablePages(pager, global, plan);
  std::vector<uint8_t> definition = EncodeTableDefinition(plan);
  definition[tdef::kJet4.table_type] = kTableTypeSystem;
  WriteTableDefinition(
      pager, definition, {tdef_page}, [&] { return global.Allocate(); },
      [&](uint32_t page) { global.Free(page); });
  return tdef_page;
}

class RowInserter {
 public:
  RowInserter(Pager& pager, uint32_t tdef_page, const std::string& name)
      : writer_(pager, std::make_shared<const TableLayout>(
                           ReadTableLayout(pager, JetVersion::kJet4, tdef_page, name))) {}
  void Insert(std::vector<Value> values) { writer_.Insert(std::move(values)); }

 private:
  TableWriter writer_;
};

struct CatalogObject {
  int32_t id;
  int32_t parent;
  std::string name;
  int16_t type;
  const Bytes* owner;
};

struct AccessEntry {
  const Bytes* sid;
  int32_t rights;
  bool inheritable;
};

std::vector<AccessEntry> AccessOf(int32_t object, bool objects_table) {
  constexpr int32_t kAll = catalog::kFullAccess;
  switch (object) {
    case kTablesId:
      return {{&kUsers, 983294, true},
              {&kAdmin, 1048319, true},
              {&kAdmins, 1048319, true},
              {&kCreator, 1048319, true}};
    case kDatabasesId:
      return {{&kAdmin, 393216, false}};
    case kRelationshipsId:
      return {{&kUsers, 983294, true},
              {&kAdmin, 393217, false},
              {&kAdmins, kAll, true},
              {&kCreator, kAll, true}};
    case kDatabaseObjectId:
      return {{&kAdmin, 393230, false}, {&kCreator, 14, false}, {&kAdmins, 393230, false}};
    default:  // a system table: readable, the catalogue also by the engine
      if (objects_table)
        return {{&kAdmin, 393216, false}, {&kAdmins, 393300, false}, {&kCreator, 20, false}};
      return {{&kAdmin, 393216, false}, {&kAdmins, 393236, false}, {&kCreator, 20, false}};
  }
}

void FillCatalog(Pager& pager, const std::vector<std::pair<std::string, uint32_t>>& tables,
                 DateTime created) {
  std::vector<CatalogObject> objects = {
      {kTablesId, kRootId, catalog::kTablesContainer, catalog::kTypeContainer, &kEngine},
      {kDatabasesId, kRootId, "Databases", catalog::kTypeContainer, &kEngine},
      {kRelationshipsId, kRootId, "Relationships", catalog::kTypeContainer, &kEngine},
      {kDatabaseObjectId, kDatabasesId, catalog::kDatabaseObject, kTypeDatabase, &kAdmin}};
  for (const auto& [name, page] : tables) {
    objects.push_back(
        {static_cast<int32_t>(page), kTablesId, name, catalog::kTypeLocalTable, &kEngine});
  }

  RowInserter catalog(pager, catalog::kObjectsDefinitionPage, catalog::kObjectsTable);
  uint32_t aces_page = 0;
  for (const auto& [name, page] : tables) {
    if (name == catalog::kAccessControlTable) aces_page = page;
  }
  RowInserter aces(pager, aces_page, catalog::kAccessControlTable);
  for (const CatalogObject& o : objects) {
    std::vector<Value> row(17);
    row[0] = o.id;
    row[1] = o.parent;
    row[2] = o.name;
    row[3] = o.type;
    row[4] = created;
    row[5] = created;
    row[6] = *o.owner;
    row[7] = kSystemFlags;
    catalog.Insert(std::move(row));
    bool objects_table = o.id == static_cast<int32_t>(catalog::kObjectsDefinitionPage);
    for (const AccessEntry& e : AccessOf(o.id, objects_table)) {
      aces.Insert({o.id, *e.sid, e.rights, e.inheritable});
    }
  }
}

}  // namespace

std::vector<uint8_t> NewDatabaseImage(DateTime created) {
  std::vector<uint8_t> bytes = EncodeJet4Header(created, kPageSize);
  bytes.resize(2 * kPageSize, 0);
  std::unique_ptr<WritableFile> file = NewWritableMemoryFile(bytes);
  {
    Pager pager(*file, file.get(), kPageSize, 0);
    pager.Begin();
    WriteGlobalMap(pager);
    std::vector<SystemTable> system = {ObjectsTable(), AccessControlTable(), QueriesTable(),
                                       RelationshipsTable()};
    std::vector<std::pair<std::string, uint32_t>> tables;
    for (SystemTable& t : system) tables.emplace_back(t.def.name, WriteTableStructure(pager, t));
    if (tables.front().second != catalog::kObjectsDefinitionPage) {
      throw errors::Internal("Interner Fehler: Katalog nicht auf Seite 2.");
    }
    FillCatalog(pager, tables, created);
    pager.Commit();
  }
  return bytes;
}

void CreateDatabase(const std::string& path) {
  Env& env = Env::Default();
  if (env.FileExists(path)) throw errors::DatabaseExists();
  std::string folder = DirectoryOf(path);
  if (!env.FileExists(folder)) throw errors::InvalidPath(path);
  std::vector<uint8_t> image = NewDatabaseImage(NowAsJetDate());
  std::unique_ptr<WritableFile> file = env.CreateWritable(path);
  try {
    file->Write(0, image);
    file->Sync();
  } catch (...) {
    file.reset();
    env.RemoveFile(path);
    throw;
  }
  env.SyncDirectory(folder);
}

}  // namespace jet
