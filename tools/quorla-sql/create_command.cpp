#include "commands.h"
#include "jet/database_creator.h"

namespace quorla_sql {

void CreateDatabaseFile(const std::string& file) {
  jet::CreateDatabase(file);
}

}  // namespace quorla_sql
