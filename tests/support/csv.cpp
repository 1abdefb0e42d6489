#include "support/csv.h"

namespace testsupport {

std::vector<CsvRow> ParseCsv(std::string_view csv, std::string* error) {
  std::vector<CsvRow> rows;
  size_t i = 0;
  const size_t n = csv.size();
  while (i < n) {
    CsvRow row;
    for (;;) {
      CsvField field;
      if (i < n && csv[i] == '"') {
        field.quoted = true;
        ++i;
        for (;;) {
          if (i >= n) {
            if (error) *error = "unterminated quote in row " + std::to_string(rows.size() + 1);
            return rows;
          }
          if (csv[i] == '"') {
            if (i + 1 < n && csv[i + 1] == '"') {
              field.text.push_back('"');
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          field.text.push_back(csv[i++]);
        }
      } else {
        size_t end = csv.find_first_of(",\r\n", i);
        if (end == std::string_view::npos) end = n;
        field.text.assign(csv.substr(i, end - i));
        if (field.text.find('"') != std::string::npos && error) {
          *error = "quote inside an unquoted field in row " + std::to_string(rows.size() + 1);
        }
        i = end;
      }
      row.push_back(std::move(field));
      if (i < n && csv[i] == ',') {
        ++i;
        continue;
      }
      if (i < n && csv[i] == '\r') ++i;
      if (i < n && csv[i] == '\n') {
        ++i;
      } else if (i < n && error) {
        *error = "garbage after a field in row " + std::to_string(rows.size() + 1);
        return rows;
      }
      break;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string FormatRow(const CsvRow& row) {
  std::string out;
  for (size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out += ',';
    if (row[i].quoted) {
      out += '"' + row[i].text + '"';
    } else {
      out += row[i].text;
    }
  }
  return out;
}

}  // namespace testsupport
