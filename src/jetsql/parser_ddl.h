#ifndef QUORLA_JETSQL_PARSER_DDL_H_
#define QUORLA_JETSQL_PARSER_DDL_H_

// Reads Access's data-definition statements (CREATE, DROP, ALTER) from their tokens. Syntax
// errors carry Access's numbers: 3290 CREATE TABLE, 3292 field definition, 3289 CONSTRAINT clause,
// 3291 CREATE INDEX, 3295 DROP, 3293 ALTER TABLE.

#include <string>
#include <vector>

#include "jetsql/ddl_ast.h"
#include "jetsql/lexer.h"

namespace jetsql {

// `tokens` is the whole statement, its first token CREATE, DROP or ALTER; a trailing ";" is
// allowed.
DataDefinition ParseDataDefinition(const std::vector<Token>& tokens);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_PARSER_DDL_H_
