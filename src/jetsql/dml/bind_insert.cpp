#include <set>

#include "jetsql/dml/bind_data_change.h"
#include "jetsql/dml/write_sources.h"
#include "jetsql/errors.h"

namespace jetsql {
namespace {

[[noreturn]] void ThrowUnknownField(const std::string& name) {
  throw errors::UnknownInsertField(name);
}

[[noreturn]] void ThrowCountMismatch() {
  throw errors::ValueCountMismatch();
}

int FieldPosition(const jet::TableDef& def, const std::string& name) {
  for (size_t i = 0; i < def.columns.size(); ++i) {
    if (SameFieldName(def.columns[i].name, name)) return static_cast<int>(i);
  }
  ThrowUnknownField(name);
}

// Positions of the named fields; every field in order when none are named.
std::vector<int> TargetFields(const jet::TableDef& def, const std::vector<std::string>& names) {
  std::vector<int> fields;
  if (names.empty()) {
    for (size_t i = 0; i < def.columns.size(); ++i) fields.push_back(static_cast<int>(i));
    return fields;
  }
  std::set<int> seen;
  for (const auto& name : names) {
    int f = FieldPosition(def, name);
    if (!seen.insert(f).second) {
      throw errors::DuplicateDestination(name);
    }
    fields.push_back(f);
  }
  return fields;
}

}  // namespace

BoundDataChange BindInsert(Statement stmt, Catalog& catalog) {
  InsertStatement& ins = *stmt.insert;
  BoundDataChange out;
  out.kind = BoundDataChange::Kind::kInsert;
  out.table = catalog.FindTable(ins.table);
  if (!out.table) throw errors::UnknownTable(ins.table);

  const bool values_form = !ins.query;
  Statement select;
  select.kind = Statement::Kind::kQuery;
  select.parameters = stmt.parameters;
  select.text = stmt.text;
  if (ins.query) {
    select.query = std::move(ins.query);
  } else {
    auto values = std::make_unique<SelectQuery>();
    for (auto& v : ins.values) values->items.push_back({std::move(v), ""});
    select = RowSelect(stmt, std::move(values));
  }
  out.rows = Bind(select, catalog);
  const size_t count = out.rows.field_names.size();

  if (ins.columns.empty() && values_form) {
    // VALUES without a field list fills the fields in order.
    out.fields = TargetFields(*out.table, {});
    if (count != out.fields.size()) ThrowCountMismatch();
  } else if (ins.columns.empty()) {
    // A SELECT without a field list fills the fields of the same names.
    std::set<int> seen;
    for (const auto& name : out.rows.field_names) {
      int f = FieldPosition(*out.table, name);
      if (!seen.insert(f).second) {
        throw errors::DuplicateDestination(name);
      }
      out.fields.push_back(f);
    }
  } else {
    out.fields = TargetFields(*out.table, ins.columns);
    if (count != out.fields.size()) ThrowCountMismatch();
  }
  return out;
}

}  // namespace jetsql
