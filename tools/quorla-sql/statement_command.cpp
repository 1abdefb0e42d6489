#include <unistd.h>

#include <iostream>
#include <iterator>

#include "commands.h"
#include "jet/column_kind.h"
#include "jetsql/csv_format.h"
#include "jetsql/parser.h"
#include "jetsql/session.h"
#include "statement_split.h"

namespace quorla_sql {
namespace {

// Characters on screen, counting each UTF-8 sequence once.
size_t DisplayWidth(const std::string& text) {
  size_t width = 0;
  for (unsigned char c : text) width += (c & 0xC0) != 0x80;
  return width;
}

// A field's text for the table: the CSV form without the quoting, on one line.
std::string CellText(const jet::Value& value) {
  std::string text;
  if (const auto* s = std::get_if<std::string>(&value)) {
    text = *s;
  } else {
    jetsql::AppendCsvField(value, text);
  }
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  return text;
}

void PrintCsv(const jetsql::RecordSet& rs, Output& out) {
  std::string& line = out.buffer();
  for (size_t c = 0; c < rs.field_names.size(); ++c) {
    if (c > 0) line.push_back(jetsql::kCsvSeparator);
    jetsql::AppendCsvText(rs.field_names[c], line);
  }
  line.append(jetsql::kCsvLineEnd);
  for (const auto& row : rs.rows) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line.push_back(jetsql::kCsvSeparator);
      jetsql::AppendCsvField(row[c], line);
    }
    line.append(jetsql::kCsvLineEnd);
    out.MaybeFlush();
  }
}

void AppendPadded(const std::string& text, size_t width, bool right, std::string& line) {
  const size_t pad = width - std::min(width, DisplayWidth(text));
  if (right) line.append(pad, ' ');
  line.append(text);
  if (!right) line.append(pad, ' ');
}

void PrintAligned(const jetsql::RecordSet& rs, Output& out) {
  const size_t columns = rs.field_names.size();
  std::vector<std::vector<std::string>> cells;
  cells.reserve(rs.rows.size());
  std::vector<size_t> widths(columns);
  for (size_t c = 0; c < columns; ++c) widths[c] = DisplayWidth(rs.field_names[c]);
  for (const auto& row : rs.rows) {
    std::vector<std::string> texts;
    for (size_t c = 0; c < columns && c < row.size(); ++c) {
      texts.push_back(CellText(row[c]));
      widths[c] = std::max(widths[c], DisplayWidth(texts.back()));
    }
    cells.push_back(std::move(texts));
  }
  std::string& line = out.buffer();
  for (size_t c = 0; c < columns; ++c) {
    if (c > 0) line.append(" | ");
    AppendPadded(rs.field_names[c], widths[c], false, line);
  }
  line.push_back('\n');
  for (size_t c = 0; c < columns; ++c) {
    if (c > 0) line.append("-+-");
    line.append(widths[c], '-');
  }
  line.push_back('\n');
  for (const auto& texts : cells) {
    for (size_t c = 0; c < texts.size(); ++c) {
      if (c > 0) line.append(" | ");
      AppendPadded(texts[c], widths[c], jet::IsNumberType(rs.field_types[c]), line);
    }
    line.push_back('\n');
    out.MaybeFlush();
  }
  line.append("(" + std::to_string(rs.rows.size()) + " Datensätze)\n");
}

// Runs one statement: a row-returning one prints its rows, any other is executed.
void RunOne(jetsql::Session& session, const std::string& sql, bool csv, bool first, Output& out) {
  jetsql::RecordSet rs;
  try {
    rs = session.Query(sql);
  } catch (const jet::Error& e) {
    if (e.number() != jet::err::kNotRowReturning) throw;
    // The count goes to standard error, so that CSV output stays the rows alone.
    const int64_t affected = session.Execute(sql);
    out.Flush();
    std::cerr << affected << (affected == 1 ? " Datensatz betroffen" : " Datensätze betroffen")
              << std::endl;
    return;
  }
  if (!first && !csv) out.buffer().push_back('\n');
  if (csv) {
    PrintCsv(rs, out);
  } else {
    PrintAligned(rs, out);
  }
}

}  // namespace

void RunStatements(const std::string& file, const std::optional<std::string>& statement, bool csv,
                   Output& out) {
  std::vector<std::string> statements;
  if (statement) {
    statements.push_back(*statement);
  } else {
    std::string script((std::istreambuf_iterator<char>(std::cin)),
                       std::istreambuf_iterator<char>());
    statements = SplitStatements(script);
  }
  // The file is opened for writing only when a statement changes data, so that reading never
  // locks it.
  bool changes = false;
  for (const std::string& sql : statements) {
    try {
      changes = changes || jetsql::Parse(sql).kind == jetsql::Statement::Kind::kAction;
    } catch (const jet::Error&) {
      // reported when the statement runs
    }
  }
  jetsql::Session session(
      file, changes ? jetsql::Session::Mode::kReadWrite : jetsql::Session::Mode::kReadOnly);
  const bool as_csv = csv || !isatty(STDOUT_FILENO);
  bool first = true;
  for (const std::string& sql : statements) {
    RunOne(session, sql, as_csv, first, out);
    first = false;
    out.Flush();
  }
}

}  // namespace quorla_sql
