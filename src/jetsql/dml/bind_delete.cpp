#include <set>

#include "jetsql/dml/bind_data_change.h"
#include "jetsql/dml/write_sources.h"
#include "jetsql/errors.h"
#include "jetsql/row_address.h"

namespace jetsql {
namespace {

[[noreturn]] void ThrowNameTheTable() {
  throw errors::NameDeleteTable();
}

}  // namespace

BoundDataChange BindDelete(Statement stmt, Catalog& catalog) {
  DeleteStatement& del = *stmt.delete_;
  const std::vector<WriteSource> sources = CollectSources(del.from, catalog);

  std::vector<const WriteSource*> targets;
  if (del.targets.empty()) {
    if (sources.size() != 1) ThrowNameTheTable();
    targets.push_back(&sources[0]);
  } else {
    for (const auto& name : del.targets) {
      const WriteSource* s = FindSource(sources, name);
      if (!s) ThrowNameTheTable();
      bool known = false;
      for (const auto* t : targets) known = known || t == s;
      if (!known) targets.push_back(s);
    }
  }
  std::set<std::string> tables;
  for (const auto* t : targets) {
    if (!t->def) {
      throw errors::CannotDelete();
    }
    tables.insert(t->table);
  }
  AddressCatalog address_catalog(catalog, tables);

  BoundDataChange out;
  out.kind = BoundDataChange::Kind::kDelete;
  auto select = std::make_unique<SelectQuery>();
  for (const auto* t : targets) {
    WriteTarget target;
    target.def = t->def;
    target.address_column = static_cast<int>(select->items.size());
    out.targets.push_back(target);
    select->items.push_back({ColumnRef(t->name, kRowAddressColumn), ""});
  }
  select->from = std::move(del.from);
  select->where = std::move(del.where);
  out.rows = Bind(RowSelect(stmt, std::move(select)), address_catalog);
  return out;
}

BoundDataChange BindDataChange(Statement stmt, Catalog& catalog) {
  if (stmt.insert) return BindInsert(std::move(stmt), catalog);
  if (stmt.update) return BindUpdate(std::move(stmt), catalog);
  return BindDelete(std::move(stmt), catalog);
}

}  // namespace jetsql
