#include "commands.h"
#include "jet/saved_queries.h"

namespace quorla_sql {

void ListQueries(jet::Database& db, Output& out) {
  for (const jet::SavedQuery& q : jet::ReadSavedQueries(db)) {
    if (q.name.rfind('~', 0) == 0) continue;
    std::string& text = out.buffer();
    text += q.name;
    text += '\n';
    for (char c : q.sql) {
      if (c != '\r') text += c;
    }
    text += "\n\n";
    out.MaybeFlush();
  }
}

}  // namespace quorla_sql
