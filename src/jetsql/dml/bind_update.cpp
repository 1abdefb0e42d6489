#include <set>

#include "jetsql/dml/bind_data_change.h"
#include "jetsql/dml/write_sources.h"
#include "jetsql/errors.h"
#include "jetsql/row_address.h"

namespace jetsql {
namespace {

[[noreturn]] void ThrowNotUpdatable() {
  throw errors::NotUpdatable();
}

int FieldOf(const jet::TableDef& def, const std::string& name) {
  for (size_t i = 0; i < def.columns.size(); ++i) {
    if (SameFieldName(def.columns[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

BoundDataChange BindUpdate(Statement stmt, Catalog& catalog) {
  UpdateStatement& up = *stmt.update;
  const std::vector<WriteSource> sources = CollectSources(up.from, catalog);

  // Which source and field each assignment sets. A name that is no field of any source stays a
  // parameter, as in a query: the binder counts it for 3061.
  struct Resolved {
    const WriteSource* source = nullptr;
    int field = -1;
  };
  std::vector<Resolved> resolved;
  for (const auto& a : up.set) {
    Resolved r;
    if (!a.qualifier.empty()) {
      r.source = FindSource(sources, a.qualifier);
      if (r.source && !r.source->def) ThrowNotUpdatable();
      if (r.source) r.field = FieldOf(*r.source->def, a.name);
    } else {
      for (const auto& s : sources) {
        if (!s.def) continue;
        int f = FieldOf(*s.def, a.name);
        if (f < 0) continue;
        if (r.source) {
          throw errors::AmbiguousField(a.name);
        }
        r.source = &s;
        r.field = f;
      }
    }
    if (r.field >= 0 && r.source->def->columns[static_cast<size_t>(r.field)].autonumber) {
      throw errors::FieldNotUpdatable();
    }
    if (r.field < 0) r.source = nullptr;
    resolved.push_back(r);
  }

  std::set<std::string> tables;
  for (const auto& r : resolved) {
    if (r.source) tables.insert(r.source->table);
  }
  AddressCatalog address_catalog(catalog, tables);

  BoundDataChange out;
  out.kind = BoundDataChange::Kind::kUpdate;
  auto select = std::make_unique<SelectQuery>();
  // One address column per source that changes, then the new values.
  std::vector<const WriteSource*> target_sources;
  for (const auto& r : resolved) {
    if (!r.source) continue;
    bool known = false;
    for (const auto* t : target_sources) known = known || t == r.source;
    if (known) continue;
    target_sources.push_back(r.source);
    WriteTarget target;
    target.def = r.source->def;
    target.address_column = static_cast<int>(select->items.size());
    out.targets.push_back(target);
    select->items.push_back({ColumnRef(r.source->name, kRowAddressColumn), ""});
  }
  for (size_t i = 0; i < up.set.size(); ++i) {
    const Resolved& r = resolved[i];
    if (!r.source) {
      // Not a field: bound as a name so that it counts as a parameter.
      select->items.push_back({ColumnRef(up.set[i].qualifier, up.set[i].name), ""});
      continue;
    }
    size_t t = 0;
    while (target_sources[t] != r.source) ++t;
    out.targets[t].assignments.push_back({r.field, static_cast<int>(select->items.size())});
    select->items.push_back({std::move(up.set[i].value), ""});
  }
  select->from = std::move(up.from);
  select->where = std::move(up.where);
  out.rows = Bind(RowSelect(stmt, std::move(select)), address_catalog);
  return out;
}

}  // namespace jetsql
