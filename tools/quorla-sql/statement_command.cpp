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

// Writes each row as CSV the moment it arrives.
class CsvSink : public jetsql::RowSink {
 public:
  explicit CsvSink(Output& out) : out_(out) {}
  void Fields(const std::vector<std::string>& names, const std::vector<jet::ColumnType>&) override {
    std::string& line = out_.buffer();
    for (size_t c = 0; c < names.size(); ++c) {
      if (c > 0) line.push_back(jetsql::kCsvSeparator);
      jetsql::AppendCsvText(names[c], line);
    }
    line.append(jetsql::kCsvLineEnd);
  }
  void Row(std::vector<jet::Value>& row) override {
    std::string& line = out_.buffer();
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line.push_back(jetsql::kCsvSeparator);
      jetsql::AppendCsvField(row[c], line);
    }
    line.append(jetsql::kCsvLineEnd);
    out_.MaybeFlush();
  }

 private:
  Output& out_;
};

void AppendPadded(const std::string& text, size_t width, bool right, std::string& line) {
  const size_t pad = width - std::min(width, DisplayWidth(text));
  if (right) line.append(pad, ' ');
  line.append(text);
  if (!right) line.append(pad, ' ');
}

// A table for the terminal. The column widths come from the first rows, which are held back
// until there are enough of them; later rows stream out at those widths (a wider cell pushes
// its line out of line), so a result of any size prints in bounded memory.
class AlignedSink : public jetsql::RowSink {
 public:
  static constexpr size_t kRowsForWidths = 1000;

  // `separate` puts a blank line before the table, to part it from the one before.
  AlignedSink(Output& out, bool separate) : out_(out), separate_(separate) {}
  void Fields(const std::vector<std::string>& names,
              const std::vector<jet::ColumnType>& types) override {
    if (separate_) out_.buffer().push_back('\n');
    names_ = names;
    types_ = types;
    widths_.resize(names.size());
    for (size_t c = 0; c < names.size(); ++c) widths_[c] = DisplayWidth(names[c]);
  }
  void Row(std::vector<jet::Value>& row) override {
    ++count_;
    std::vector<std::string> texts;
    texts.reserve(row.size());
    for (size_t c = 0; c < names_.size() && c < row.size(); ++c) texts.push_back(CellText(row[c]));
    if (header_written_) {
      WriteRow(texts);
      return;
    }
    for (size_t c = 0; c < texts.size(); ++c) {
      widths_[c] = std::max(widths_[c], DisplayWidth(texts[c]));
    }
    held_.push_back(std::move(texts));
    if (held_.size() >= kRowsForWidths) WriteHeld();
  }
  void Finish() {
    WriteHeld();
    out_.buffer().append("(" + std::to_string(count_) + " Datensätze)\n");
  }

 private:
  void WriteHeld() {
    if (!header_written_) {
      std::string& line = out_.buffer();
      for (size_t c = 0; c < names_.size(); ++c) {
        if (c > 0) line.append(" | ");
        AppendPadded(names_[c], widths_[c], false, line);
      }
      line.push_back('\n');
      for (size_t c = 0; c < names_.size(); ++c) {
        if (c > 0) line.append("-+-");
        line.append(widths_[c], '-');
      }
      line.push_back('\n');
      header_written_ = true;
    }
    for (const auto& texts : held_) WriteRow(texts);
    held_.clear();
    held_.shrink_to_fit();
  }
  void WriteRow(const std::vector<std::string>& texts) {
    std::string& line = out_.buffer();
    for (size_t c = 0; c < texts.size(); ++c) {
      if (c > 0) line.append(" | ");
      AppendPadded(texts[c], widths_[c], jet::IsNumberType(types_[c]), line);
    }
    line.push_back('\n');
    out_.MaybeFlush();
  }

  Output& out_;
  const bool separate_;
  std::vector<std::string> names_;
  std::vector<jet::ColumnType> types_;
  std::vector<size_t> widths_;
  std::vector<std::vector<std::string>> held_;
  bool header_written_ = false;
  uint64_t count_ = 0;
};

// Runs one statement: a row-returning one prints its rows, any other is executed.
void RunOne(jetsql::Session& session, const std::string& sql, bool csv, bool first, Output& out) {
  try {
    if (csv) {
      CsvSink sink(out);
      session.Query(sql, sink);
    } else {
      AlignedSink sink(out, !first);
      session.Query(sql, sink);
      sink.Finish();
    }
  } catch (const jet::Error& e) {
    if (e.number() != jet::err::kNotRowReturning) throw;
    // The count goes to standard error, so that CSV output stays the rows alone.
    const int64_t affected = session.Execute(sql);
    out.Flush();
    std::cerr << affected << (affected == 1 ? " Datensatz betroffen" : " Datensätze betroffen")
              << std::endl;
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
