#ifndef QUORLA_TOOLS_QUORLA_SQL_ARGS_H_
#define QUORLA_TOOLS_QUORLA_SQL_ARGS_H_

// The command line of quorla-sql. Options may stand anywhere; the first argument that is not an
// option is the database file, a second one is the table of --schema (or, for plain runs, the
// statement to run).

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorla_sql {

enum class Command { kHelp, kTables, kQueries, kSchema, kExport, kStatement, kCreate };

struct Options {
  Command command = Command::kHelp;
  std::string file;
  std::optional<std::string> table;      // --schema TABLE, --export TABLE
  std::optional<std::string> statement;  // quorla-sql FILE STATEMENT
  bool csv = false;                      // --csv: statement results as CSV
};

// A command line that makes no sense; main prints it with a pointer to --help.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws UsageError.
Options ParseArgs(const std::vector<std::string>& args);

}  // namespace quorla_sql

#endif  // QUORLA_TOOLS_QUORLA_SQL_ARGS_H_
