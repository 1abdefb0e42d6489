#include "jetsql/ddl/foreign_keys.h"

#include "jet/name_fold.h"
#include "jet/relationship_writer.h"
#include "jet/relationships.h"

namespace jetsql {
namespace {

std::string UnusedName(jet::Database& db, const std::string& base) {
  const std::vector<jet::Relationship> present = jet::ReadRelationships(db);
  std::string name = base;
  for (int n = 1;; ++n) {
    bool taken = false;
    for (const jet::Relationship& r : present) taken |= jet::SameName(r.name, name);
    if (!taken) return name;
    name = base + std::to_string(n);
  }
}

}  // namespace

void AddForeignKey(const ConstraintDefinition& constraint, const std::string& table,
                   jet::Database& db) {
  jet::Relationship r;
  r.table = table;
  r.columns = constraint.columns;
  r.referenced_table = constraint.referenced_table;
  r.referenced_columns = constraint.referenced_columns;
  if (constraint.cascade_update) r.flags |= jet::relationship_flags::kCascadeUpdates;
  if (constraint.cascade_delete) r.flags |= jet::relationship_flags::kCascadeDeletes;
  r.name = constraint.name.empty() ? UnusedName(db, constraint.referenced_table + table)
                                   : constraint.name;
  db.CreateRelationship(r);
}

void AddForeignKeys(const CreateTableStatement& statement, jet::Database& db) {
  auto add = [&](const ConstraintDefinition& c) {
    if (c.kind == ConstraintDefinition::Kind::kForeignKey) AddForeignKey(c, statement.table, db);
  };
  for (const FieldDefinition& f : statement.fields) {
    for (const ConstraintDefinition& c : f.constraints) add(c);
  }
  for (const ConstraintDefinition& c : statement.constraints) add(c);
}

bool DropForeignKey(const std::string& table, const std::string& name, jet::Database& db) {
  if (!jet::HasRelationship(db, table, name)) return false;
  db.DropRelationship(table, name);
  return true;
}

}  // namespace jetsql
