#ifndef QUORLA_TOOLS_QUORLA_SQL_STATEMENT_SPLIT_H_
#define QUORLA_TOOLS_QUORLA_SQL_STATEMENT_SPLIT_H_

#include <string>
#include <vector>

namespace quorla_sql {

// Splits a script at the semicolons that stand outside 'text', "text" and [names]. Pieces that
// hold nothing but white space are dropped; the others are returned as they stand.
std::vector<std::string> SplitStatements(const std::string& script);

}  // namespace quorla_sql

#endif  // QUORLA_TOOLS_QUORLA_SQL_STATEMENT_SPLIT_H_
