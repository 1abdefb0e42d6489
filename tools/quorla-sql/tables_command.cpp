#include "commands.h"

namespace quorla_sql {

void ListTables(jet::Database& db, Output& out) {
  for (const jet::CatalogEntry& entry : db.Tables()) {
    if (entry.system) continue;
    out.buffer().append(entry.name);
    out.buffer().push_back('\n');
    out.MaybeFlush();
  }
}

}  // namespace quorla_sql
