#include "jetsql/binder.h"

#include "error/errors.h"
#include "jet/name_fold.h"

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

std::optional<jet::SavedQuery> Catalog::FindQuery(const std::string&) {
  return std::nullopt;
}

std::shared_ptr<const jet::TableDef> Catalog::FindExternalTable(const std::string& database,
                                                                const std::string&) {
  throw errors::FileNotFound(database);
}

std::vector<PivotValue> Catalog::ProbePivot(const std::string&,
                                            const std::vector<VirtualTableUse>&) {
  throw errors::OperationNotSupported("TRANSFORM");
}

std::optional<jet::SavedQuery> DatabaseCatalog::FindQuery(const std::string& name) {
  if (!queries_) queries_ = jet::ReadSavedQueries(*db_);
  for (const jet::SavedQuery& q : *queries_) {
    if (jet::SameName(q.name, name)) return q;
  }
  return std::nullopt;
}

std::shared_ptr<const jet::TableDef> DatabaseCatalog::FindExternalTable(const std::string& database,
                                                                        const std::string& name) {
  std::shared_ptr<jet::Database> other = db_->OtherDatabase(database);
  try {
    return other->GetTableDef(name);
  } catch (const jet::Error& e) {
    if (e.number() == jet::err::kTableNotFound) return nullptr;
    throw;
  }
}

std::vector<PivotValue> DatabaseCatalog::ProbePivot(const std::string& sql,
                                                    const std::vector<VirtualTableUse>& tables) {
  if (!probe_) return Catalog::ProbePivot(sql, tables);
  return probe_(sql, tables);
}

std::string QuoteIdentifier(const std::string& name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

std::string VirtualTableName(const std::string& table, const std::string& database) {
  static const char* kHex = "0123456789abcdef";
  std::string r = "jt_";
  auto append_hex = [&](const std::string& s) {
    for (unsigned char c : s) {
      r += kHex[c >> 4];
      r += kHex[c & 15];
    }
  };
  append_hex(table);
  if (!database.empty()) {
    r += "_in_";
    append_hex(database);
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
