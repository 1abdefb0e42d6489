#ifndef QUORLA_TESTS_SUPPORT_CSV_H_
#define QUORLA_TESTS_SUPPORT_CSV_H_

// A strict RFC 4180 reader for the tests: tells a quoted field from an unquoted one, so that
// an empty text ("") stays distinct from Null (nothing).

#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

struct CsvField {
  std::string text;
  bool quoted = false;
  bool operator==(const CsvField&) const = default;
};
using CsvRow = std::vector<CsvField>;

// Splits `csv` into rows of fields. Lines end in CRLF or LF (mdbtools writes LF). Sets `error`
// (and returns what was read so far) on a stray quote.
std::vector<CsvRow> ParseCsv(std::string_view csv, std::string* error);

// One row back as text, for messages.
std::string FormatRow(const CsvRow& row);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_CSV_H_
