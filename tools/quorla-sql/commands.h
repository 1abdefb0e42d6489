#ifndef QUORLA_TOOLS_QUORLA_SQL_COMMANDS_H_
#define QUORLA_TOOLS_QUORLA_SQL_COMMANDS_H_

// The commands of quorla-sql. Each writes its result to `out` and throws jet::Error on failure.

#include <optional>
#include <string>

#include "jet/database.h"
#include "output.h"

namespace quorla_sql {

// User tables (no attribute bit of 0x80000002), one name a line, in catalogue order.
void ListTables(jet::Database& db, Output& out);

// Saved queries in catalogue order: the name on a line of its own, then the SQL as Access shows
// it, then an empty line. Access's hidden queries (names starting with "~") are left out.
void ListQueries(jet::Database& db, Output& out);

// `table`, or every user table, as CREATE TABLE with its CREATE INDEX statements.
void PrintSchema(jet::Database& db, const std::optional<std::string>& table, Output& out);

// The table as CSV: a header of field names, then one line a row.
void ExportTable(jet::Database& db, const std::string& table, Output& out);

// Runs `statement`, or the `;`-separated statements of standard input, stopping at the first
// error. Rows print as CSV with `csv` or when standard output is not a terminal, else as a table.
void RunStatements(const std::string& file, const std::optional<std::string>& statement, bool csv,
                   Output& out);

// Creates `file` as a new, empty Access 2000 database. Throws 3204 when it exists.
void CreateDatabaseFile(const std::string& file);

// The man-page-style help.
void PrintHelp(Output& out);

}  // namespace quorla_sql

#endif  // QUORLA_TOOLS_QUORLA_SQL_COMMANDS_H_
