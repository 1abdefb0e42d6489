#ifndef QUORLA_JET_CATALOG_H_
#define QUORLA_JET_CATALOG_H_

// The catalogue: the system table MSysObjects, whose definition always starts on page 2. Its
// rows name every object of the database; those of type 1 are local tables (their id is the
// page of their definition), those of type 4 and 6 linked tables.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/page_reader.h"

namespace jet {

namespace catalog {
inline constexpr uint32_t kObjectsDefinitionPage = 2;
inline constexpr char kObjectsTable[] = "MSysObjects";
inline constexpr int16_t kTypeLocalTable = 1;
inline constexpr int16_t kTypeLinkedOdbc = 4;
inline constexpr int16_t kTypeLinkedTable = 6;
inline constexpr uint32_t kIdPageMask = 0x00ffffff;
inline constexpr uint32_t kSystemObjectMask = 0x80000002;
inline constexpr uint32_t kAttachedTable = 0x40000000;  // TableDef.Attributes of a linked table
inline constexpr uint32_t kAttachedOdbc = 0x20000000;
}  // namespace catalog

struct CatalogTable {
  CatalogEntry entry;
  uint32_t definition_page = 0;  // local tables only
  std::string linked_database;   // linked tables: the file (or connect string) holding the data
  std::string linked_table;      // linked tables: the table's name in that file
};

// The tables of the catalogue in the order of its name index: by name in the database's text sort
// order (General; its Access 97 form in Jet 3 files), not in the order the rows are stored.
std::vector<CatalogTable> ReadCatalog(PageReader& pages, JetVersion version);

// Puts tables in the catalogue's name order.
void SortByName(std::vector<CatalogTable>& tables, JetVersion version);

}  // namespace jet

#endif  // QUORLA_JET_CATALOG_H_
