#include "commands.h"
#include "jetsql/csv_format.h"

namespace quorla_sql {

void ExportTable(jet::Database& db, const std::string& table, Output& out) {
  std::shared_ptr<const jet::TableDef> def = db.GetTableDef(table);
  const int columns = static_cast<int>(def->columns.size());
  std::string& line = out.buffer();
  for (int c = 0; c < columns; ++c) {
    if (c > 0) line.push_back(jetsql::kCsvSeparator);
    jetsql::AppendCsvText(def->columns[static_cast<size_t>(c)].name, line);
  }
  line.append(jetsql::kCsvLineEnd);

  for (std::unique_ptr<jet::TableCursor> cursor = db.Scan(def->name); cursor->Valid();
       cursor->Next()) {
    for (int c = 0; c < columns; ++c) {
      if (c > 0) line.push_back(jetsql::kCsvSeparator);
      jetsql::AppendCsvField(cursor->value(c), line);
    }
    line.append(jetsql::kCsvLineEnd);
    out.MaybeFlush();
  }
}

}  // namespace quorla_sql
