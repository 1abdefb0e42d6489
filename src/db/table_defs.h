#ifndef QUORLA_DB_TABLE_DEFS_H_
#define QUORLA_DB_TABLE_DEFS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/table_def.h"
#include "jet/database.h"

namespace db {

// A snapshot of the catalogue's tables (user and system), in catalogue order.
class TableDefs {
 public:
  TableDefs(std::shared_ptr<jet::Database> engine, std::vector<jet::CatalogEntry> entries)
      : engine_(std::move(engine)), entries_(std::move(entries)) {}

  // Number of tables; raises overflow (6) beyond a 16-bit count.
  int16_t Count() const;
  // Item by zero-based index; raises 3265 when out of range.
  std::shared_ptr<TableDef> Item(int index) const;
  // Item by name (case-insensitive); raises 3265 when there is none.
  std::shared_ptr<TableDef> Item(const std::string& name) const;

 private:
  std::shared_ptr<jet::Database> engine_;
  std::vector<jet::CatalogEntry> entries_;
};

}  // namespace db

#endif  // QUORLA_DB_TABLE_DEFS_H_
