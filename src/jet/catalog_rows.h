#ifndef QUORLA_JET_CATALOG_ROWS_H_
#define QUORLA_JET_CATALOG_ROWS_H_

// The rows of the catalogue (MSysObjects) as data definition needs them: finding an object by
// name in the Tables container, and adding or removing the row of a table. Rows are changed
// through jet::Database, which keeps the catalogue's own indexes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/pager.h"
#include "jet/tdef_page.h"

namespace jet {

namespace catalog {
inline constexpr int32_t kTablesContainerId = 0x0f000001;  // when the file has no "Tables" row
inline constexpr int16_t kTypeContainer = 3;
inline constexpr char kTablesContainer[] = "Tables";
inline constexpr char kRelationshipsTable[] = "MSysRelationships";
inline constexpr char kAccessControlTable[] = "MSysACEs";
inline constexpr char kDatabaseObject[] = "MSysDb";
inline constexpr int32_t kFullAccess = 1048575;  // ACM of every permission
}  // namespace catalog

struct ObjectRow {
  RowId row;
  int32_t id = 0;
  int32_t parent_id = 0;
  std::string name;
  int16_t type = 0;
  uint32_t flags = 0;
  Bytes owner;
};

std::vector<ObjectRow> ReadObjectRows(Database& db);

// Now, to the second, as Jet keeps dates: days since 1899-12-30 in local time.
DateTime NowAsJetDate();

// The id of the Tables container, whose children are tables and queries.
int32_t TablesContainerId(const std::vector<ObjectRow>& rows);

// The definition of the local user table `table`, about to be changed by data definition: 3371
// when there is no such table, 3027 for a system table.
TableLayout ReadUserTableForChange(Pager& pager, Database& db, const std::string& table);

// The object named `name` (compared as Jet compares names) in the Tables container.
std::optional<ObjectRow> FindTableObject(const std::vector<ObjectRow>& rows,
                                         const std::string& name);

// Adds the row of a new local table whose definition starts on `definition_page`, owned by the
// database's owner, and its access entries.
void InsertTableObject(Database& db, const std::vector<ObjectRow>& rows, const std::string& name,
                       uint32_t definition_page);

// Gives `object` full access for each account the container's entries name (the object inherits
// nothing otherwise), and takes them away again.
void InsertAccessControlEntries(Database& db, int32_t container, int32_t object);
void DeleteAccessControlEntries(Database& db, int32_t object);

// Whether a relationship names `table` as either side.
bool InRelationship(Database& db, const std::string& table);

}  // namespace jet

#endif  // QUORLA_JET_CATALOG_ROWS_H_
