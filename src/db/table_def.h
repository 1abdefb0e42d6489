#ifndef QUORLA_DB_TABLE_DEF_H_
#define QUORLA_DB_TABLE_DEF_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/field.h"
#include "jet/database.h"

namespace db {

// Attribute bits that mark a system object.
inline constexpr uint32_t kDbSystemObject = 0x80000002u;

// One table of the catalogue. Its fields are read from the file when first asked for.
class TableDef {
 public:
  TableDef(std::shared_ptr<jet::Database> engine, jet::CatalogEntry entry)
      : engine_(std::move(engine)), entry_(std::move(entry)) {}

  const std::string& Name() const { return entry_.name; }
  uint32_t Attributes() const { return entry_.attributes; }
  // The fields in the table's field order. Throws jet::Error when the definition cannot be read.
  const std::vector<Field>& Fields();

 private:
  std::shared_ptr<jet::Database> engine_;
  jet::CatalogEntry entry_;
  std::vector<Field> fields_;
  bool fields_read_ = false;
};

}  // namespace db

#endif  // QUORLA_DB_TABLE_DEF_H_
