#ifndef QUORLA_TOOLS_QUORLA_SQL_SCHEMA_H_
#define QUORLA_TOOLS_QUORLA_SQL_SCHEMA_H_

// A table definition written back as Jet SQL DDL: one CREATE TABLE, then one CREATE INDEX per
// index (the primary key WITH PRIMARY). Relationship entries among the indexes are left out:
// they belong to the relationship, not the table.

#include <string>

#include "jet/database.h"

namespace quorla_sql {

// `version` decides how a text column's size in bytes turns into characters.
std::string TableDdl(const jet::TableDef& table, jet::JetVersion version);

}  // namespace quorla_sql

#endif  // QUORLA_TOOLS_QUORLA_SQL_SCHEMA_H_
