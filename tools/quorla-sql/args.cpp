#include "args.h"

namespace quorla_sql {
namespace {

// Sets the command once; two commands on one line are an error.
void SetCommand(Options& options, bool& have_command, Command command, const std::string& arg) {
  if (have_command) throw UsageError("Nur ein Befehl je Aufruf möglich ('" + arg + "').");
  options.command = command;
  have_command = true;
}

}  // namespace

Options ParseArgs(const std::vector<std::string>& args) {
  Options options;
  bool have_command = false;
  bool help = false;
  std::vector<std::string> positional;
  bool options_ended = false;

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      positional.push_back(arg);
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inline_value;
    if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      inline_value = arg.substr(eq + 1);
    }
    auto no_value = [&] {
      if (inline_value) throw UsageError("Die Option " + name + " nimmt keinen Wert.");
    };
    if (name == "--") {
      options_ended = true;
    } else if (name == "--help" || name == "-h") {
      no_value();
      help = true;
    } else if (name == "--tables") {
      no_value();
      SetCommand(options, have_command, Command::kTables, arg);
    } else if (name == "--queries") {
      no_value();
      SetCommand(options, have_command, Command::kQueries, arg);
    } else if (name == "--schema") {
      SetCommand(options, have_command, Command::kSchema, arg);
      if (inline_value) options.table = *inline_value;
    } else if (name == "--export") {
      SetCommand(options, have_command, Command::kExport, arg);
      if (inline_value) {
        options.table = *inline_value;
      } else if (i + 1 < args.size()) {
        options.table = args[++i];
      } else {
        throw UsageError("--export braucht den Namen einer Tabelle.");
      }
      if (options.table->empty()) throw UsageError("--export braucht den Namen einer Tabelle.");
    } else if (name == "--create") {
      no_value();
      SetCommand(options, have_command, Command::kCreate, arg);
    } else if (name == "--csv") {
      no_value();
      options.csv = true;
    } else {
      throw UsageError("Unbekannte Option '" + arg + "'.");
    }
  }

  if (help) {
    options.command = Command::kHelp;
    return options;
  }
  if (positional.empty()) {
    if (!have_command) return options;  // no arguments at all: the help
    throw UsageError("Es fehlt die Datenbankdatei.");
  }
  options.file = positional[0];
  if (positional.size() > 2) throw UsageError("Zu viele Argumente ('" + positional[2] + "').");
  std::optional<std::string> second;
  if (positional.size() == 2) second = positional[1];

  if (!have_command) {
    // Without a statement the statements come from standard input.
    options.command = Command::kStatement;
    options.statement = second;
    return options;
  }
  if (options.csv) throw UsageError("--csv gilt nur für SQL-Anweisungen.");
  if (second) {
    if (options.command != Command::kSchema || options.table) {
      throw UsageError("Unerwartetes Argument '" + *second + "'.");
    }
    options.table = second;
  }
  return options;
}

}  // namespace quorla_sql
