#include "jetsql/ddl/execute_ddl.h"

#include "error/errors.h"
#include "jet/column_lookup.h"
#include "jet/name_fold.h"
#include "jetsql/ddl/column_conversion.h"
#include "jetsql/ddl/foreign_keys.h"

namespace jetsql {
namespace {

using jet::ColumnType;

jet::ColumnDef MakeColumn(const FieldDefinition& f) {
  jet::ColumnDef c;
  c.name = f.name;
  c.type = f.type.type;
  if (c.type == ColumnType::kText) c.size = static_cast<uint16_t>(f.type.size * 2);
  if (c.type == ColumnType::kBinary) c.size = f.type.size;
  c.precision = f.type.precision;
  c.scale = f.type.scale;
  c.nullable = !f.not_null;
  c.autonumber = f.type.autonumber;
  c.compressed_unicode = f.compressed;
  return c;
}

int ColumnPosition(const std::vector<jet::ColumnDef>& columns, const std::string& name) {
  const int found = jet::FindColumn(columns, name);
  if (found < 0) throw errors::ItemNotFound();
  return found;
}

// A name for a constraint written without one, not yet used by the table's indexes.
std::string IndexName(const ConstraintDefinition& c, const std::vector<jet::IndexDef>& taken) {
  std::string base = c.name;
  if (base.empty()) {
    base = c.kind == ConstraintDefinition::Kind::kPrimaryKey ? "PrimaryKey" : "Index";
    if (c.kind != ConstraintDefinition::Kind::kPrimaryKey) {
      for (const std::string& column : c.columns) base += "_" + column;
    }
  }
  std::string name = base;
  for (int n = 1;; ++n) {
    bool used = false;
    for (const jet::IndexDef& index : taken) used |= jet::SameName(index.name, name);
    if (!used || !c.name.empty()) return name;
    name = base + std::to_string(n);
  }
}

jet::IndexDef MakeIndex(const ConstraintDefinition& c, const std::vector<jet::ColumnDef>& columns,
                        const std::vector<jet::IndexDef>& taken) {
  jet::IndexDef index;
  index.name = IndexName(c, taken);
  for (const std::string& name : c.columns) {
    index.columns.push_back({ColumnPosition(columns, name), true});
  }
  index.primary = c.kind == ConstraintDefinition::Kind::kPrimaryKey;
  index.unique = true;
  index.required = index.primary;
  return index;
}

jet::IndexDef PlanIndex(const CreateIndexStatement& s, const jet::TableDef& table) {
  jet::IndexDef index;
  index.name = s.name;
  for (const IndexField& f : s.fields) {
    index.columns.push_back({ColumnPosition(table.columns, f.name), !f.descending});
  }
  index.primary = s.primary;
  index.unique = s.unique || s.primary;
  index.required = s.disallow_null || s.primary;
  index.ignore_nulls = s.ignore_null;
  return index;
}

}  // namespace

jet::NewTable PlanNewTable(const CreateTableStatement& statement) {
  jet::NewTable table;
  table.def.name = statement.table;
  std::vector<const ConstraintDefinition*> constraints;
  for (const FieldDefinition& f : statement.fields) {
    for (const jet::ColumnDef& c : table.def.columns) {
      if (jet::SameName(c.name, f.name)) throw errors::FieldDefinedTwice(f.name);
    }
    table.def.columns.push_back(MakeColumn(f));
    if (f.type.autonumber) {
      table.first_autonumber = f.type.seed;
      table.autonumber_increment = f.type.increment;
    }
    for (const ConstraintDefinition& c : f.constraints) constraints.push_back(&c);
  }
  for (const ConstraintDefinition& c : statement.constraints) constraints.push_back(&c);
  bool primary = false;
  for (const ConstraintDefinition* c : constraints) {
    if (c->kind == ConstraintDefinition::Kind::kForeignKey) continue;  // AddForeignKeys
    jet::IndexDef index = MakeIndex(*c, table.def.columns, table.def.indexes);
    if (index.primary && primary) throw errors::PrimaryKeyExists();
    primary |= index.primary;
    table.def.indexes.push_back(std::move(index));
  }
  return table;
}

namespace {

void RequireTable(jet::Database& db, const std::string& table) {
  for (const jet::CatalogEntry& e : db.Tables()) {
    if (jet::SameName(e.name, table) && !e.linked) return;
  }
  throw errors::TableOrConstraintNotFound(table);
}

void AlterTable(const AlterTableStatement& s, jet::Database& db) {
  using Action = AlterTableStatement::Action;
  RequireTable(db, s.table);
  switch (s.action) {
    case Action::kAddColumn:
    case Action::kAlterColumn: {
      if (s.action == Action::kAddColumn) {
        db.AddColumn(s.table, MakeColumn(s.field));
      } else {
        db.AlterColumn(s.table, s.field.name, MakeColumn(s.field), ConvertForColumn);
      }
      for (const ConstraintDefinition& c : s.field.constraints) {
        if (c.kind == ConstraintDefinition::Kind::kForeignKey) {
          AddForeignKey(c, s.table, db);
          continue;
        }
        auto def = db.GetTableDef(s.table);
        db.CreateIndex(s.table, MakeIndex(c, def->columns, def->indexes));
      }
      return;
    }
    case Action::kAddConstraint: {
      if (s.constraint.kind == ConstraintDefinition::Kind::kForeignKey) {
        AddForeignKey(s.constraint, s.table, db);
        return;
      }
      auto def = db.GetTableDef(s.table);
      db.CreateIndex(s.table, MakeIndex(s.constraint, def->columns, def->indexes));
      return;
    }
    case Action::kDropConstraint:
      if (DropForeignKey(s.table, s.name, db)) return;
      db.DropIndex(s.table, s.name);
      return;
    case Action::kDropColumn:
      db.DropColumn(s.table, s.name);
      return;
  }
}

}  // namespace

void ExecuteDataDefinition(const DataDefinition& statement, jet::Database& db) {
  switch (statement.kind) {
    case DataDefinition::Kind::kCreateTable:
      db.CreateTable(PlanNewTable(statement.create_table));
      AddForeignKeys(statement.create_table, db);
      return;
    case DataDefinition::Kind::kDropTable:
      db.DropTable(statement.drop.name);
      return;
    case DataDefinition::Kind::kCreateIndex: {
      const CreateIndexStatement& s = statement.create_index;
      RequireTable(db, s.table);
      db.CreateIndex(s.table, PlanIndex(s, *db.GetTableDef(s.table)));
      return;
    }
    case DataDefinition::Kind::kDropIndex:
      db.DropIndex(statement.drop.table, statement.drop.name);
      return;
    case DataDefinition::Kind::kAlterTable:
      AlterTable(statement.alter_table, db);
      return;
  }
}

}  // namespace jetsql
