// quorla-sql: the storage engine's command-line face. See help.cpp for what it does.

#include <cstdio>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "jet/database.h"

namespace {

constexpr int kExitDatabaseError = 1;
constexpr int kExitUsage = 2;

int Run(const quorla_sql::Options& options) {
  using quorla_sql::Command;
  quorla_sql::Output out;
  if (options.command == Command::kHelp) {
    quorla_sql::PrintHelp(out);
    out.Flush();
    return 0;
  }
  if (options.command == Command::kStatement) {
    quorla_sql::RunStatements(options.file, options.statement, options.csv, out);
    return 0;
  }
  if (options.command == Command::kCreate) {
    quorla_sql::CreateDatabaseFile(options.file);
    return 0;
  }
  std::unique_ptr<jet::Database> db = jet::Database::Open(options.file);
  switch (options.command) {
    case Command::kTables:
      quorla_sql::ListTables(*db, out);
      break;
    case Command::kQueries:
      quorla_sql::ListQueries(*db, out);
      break;
    case Command::kSchema:
      quorla_sql::PrintSchema(*db, options.table, out);
      break;
    case Command::kExport:
      quorla_sql::ExportTable(*db, *options.table, out);
      break;
    default:
      break;
  }
  out.Flush();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return Run(quorla_sql::ParseArgs(args));
  } catch (const quorla_sql::UsageError& e) {
    std::fprintf(stderr, "quorla-sql: %s\nAufruf: quorla-sql --help\n", e.what());
    return kExitUsage;
  } catch (const jet::Error& e) {
    std::fprintf(stderr, "Fehler %d: %s\n", static_cast<int>(e.number()), e.description().c_str());
    return kExitDatabaseError;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "Fehler 7: Nicht genügend Speicher.\n");
    return kExitDatabaseError;
  }
}
