#ifndef QUORLA_JETSQL_PARSER_H_
#define QUORLA_JETSQL_PARSER_H_

// Parses one Jet SQL statement into its syntax tree: queries, INSERT, UPDATE, DELETE and the
// data-definition statements (parser_ddl.h); PROCEDURE is recognised by its first word only.
// Every syntax error throws jet::Error with Jet's number; nesting deeper than
// kMaxExpressionDepth throws 3071.

#include <string>

#include "jetsql/ast.h"

namespace jetsql {

Statement Parse(const std::string& sql);

// True for words that cannot stand as a bare name (they need brackets).
bool IsReservedWord(const std::string& word);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_PARSER_H_
