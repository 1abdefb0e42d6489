#include "db/table_defs.h"

#include <limits>

#include "jet/error.h"
#include "jet/name_fold.h"

namespace db {

int16_t TableDefs::Count() const {
  if (entries_.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw errors::Overflow();
  }
  return static_cast<int16_t>(entries_.size());
}

std::shared_ptr<TableDef> TableDefs::Item(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
    throw errors::ItemNotFound();
  }
  return std::make_shared<TableDef>(engine_, entries_[static_cast<size_t>(index)]);
}

std::shared_ptr<TableDef> TableDefs::Item(const std::string& name) const {
  for (const jet::CatalogEntry& e : entries_) {
    if (jet::SameName(e.name, name)) return std::make_shared<TableDef>(engine_, e);
  }
  throw errors::ItemNotFound();
}

}  // namespace db
