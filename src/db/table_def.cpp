#include "db/table_def.h"

namespace db {

const std::vector<Field>& TableDef::Fields() {
  if (!fields_read_) {
    std::shared_ptr<const jet::TableDef> def = engine_->GetTableDef(entry_.name);
    for (const jet::ColumnDef& c : def->columns) fields_.emplace_back(c.name);
    fields_read_ = true;
  }
  return fields_;
}

}  // namespace db
