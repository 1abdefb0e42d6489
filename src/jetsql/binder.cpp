#include "jetsql/binder.h"

#include "jetsql/binder/bind_statement.h"
#include "jetsql/emitter/emitter.h"

namespace jetsql {

std::shared_ptr<const jet::TableDef> DatabaseCatalog::FindTable(const std::string& name) {
  try {
    return db_->GetTableDef(name);
  } catch (const jet::Error& e) {
    if (e.number() == jet::err::kTableNotFound) return nullptr;
    throw;
  }
}

std::string QuoteIdentifier(const std::string& name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

std::string VirtualTableName(const std::string& table) {
  static const char* kHex = "0123456789abcdef";
  std::string r = "jt_";
  for (unsigned char c : table) {
    r += kHex[c >> 4];
    r += kHex[c & 15];
  }
  return r;
}

BoundStatement Bind(const Statement& stmt, Catalog& catalog,
                    const std::vector<PivotValue>* pivot_values) {
  BoundProgram program = BindProgram(stmt, catalog, pivot_values);
  BoundStatement out;
  out.returns_rows = program.returns_rows;
  out.tables = std::move(program.tables);
  if (program.pivot_probe) out.pivot_probe_sql = EmitPivotProbe(*program.pivot_probe);
  if (program.query) {
    out.sql = EmitQuery(*program.query);
    out.field_names = program.query->names;
    for (jet::ColumnType t : program.query->types) {
      out.field_types.push_back(t == static_cast<jet::ColumnType>(0) ? jet::ColumnType::kText : t);
    }
  }
  return out;
}

}  // namespace jetsql
