#include "db/table_defs.h"

#include <algorithm>
#include <limits>

#include "jet/error.h"

namespace db {

namespace {
constexpr const char* kItemNotFoundText = "Element in dieser Auflistung nicht gefunden.";

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}
}  // namespace

int16_t TableDefs::Count() const {
  if (entries_.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw jet::Error(jet::err::kOverflow, "Überlauf");
  }
  return static_cast<int16_t>(entries_.size());
}

std::shared_ptr<TableDef> TableDefs::Item(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
    throw jet::Error(jet::err::kItemNotFound, kItemNotFoundText);
  }
  return std::make_shared<TableDef>(engine_, entries_[static_cast<size_t>(index)]);
}

std::shared_ptr<TableDef> TableDefs::Item(const std::string& name) const {
  for (const jet::CatalogEntry& e : entries_) {
    if (SameName(e.name, name)) return std::make_shared<TableDef>(engine_, e);
  }
  throw jet::Error(jet::err::kItemNotFound, kItemNotFoundText);
}

}  // namespace db
