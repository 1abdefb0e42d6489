#ifndef QUORLA_JETSQL_DDL_EXECUTE_DDL_H_
#define QUORLA_JETSQL_DDL_EXECUTE_DDL_H_

// Runs a parsed data-definition statement on a database inside the caller's statement:
// CREATE TABLE, DROP TABLE, CREATE INDEX, DROP INDEX and ALTER TABLE ... ADD COLUMN, DROP
// COLUMN, ALTER COLUMN, ADD CONSTRAINT (primary key, unique, foreign key), DROP CONSTRAINT.

#include "jet/database.h"
#include "jetsql/ddl_ast.h"

namespace jetsql {

void ExecuteDataDefinition(const DataDefinition& statement, jet::Database& db);

// The table a CREATE TABLE statement asks for, checked as far as the statement alone allows
// (3191 a field twice, 3283 two primary keys, 3265 a constraint on an unknown field); its
// FOREIGN KEY constraints are left to AddForeignKeys once the table exists.
jet::NewTable PlanNewTable(const CreateTableStatement& statement);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DDL_EXECUTE_DDL_H_
