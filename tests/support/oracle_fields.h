#ifndef QUORLA_TESTS_SUPPORT_ORACLE_FIELDS_H_
#define QUORLA_TESTS_SUPPORT_ORACLE_FIELDS_H_

// Compares one CSV field of quorla-sql --export with the same field as an independent reader
// printed it. The readers' own formats are mapped onto ours, and their known faults (and only
// those) are forgiven; each such rule in oracle_fields.cpp names its evidence.

#include <string>

#include "support/csv.h"

namespace testsupport {

enum class Oracle {
  kMdbExport,  // mdbtools: mdb-export -0 NULL -b hex -D/-T '%Y-%m-%d %H:%M:%S'
  kMdbReader,  // mdb-reader through tests/oracle/mdb_reader_export.mjs
};

const char* OracleName(Oracle oracle);

// `type` is mdb-reader's name of the column type ("text", "double", ...). Returns an empty
// string when the fields agree, else why not.
std::string CompareField(const CsvField& ours, const CsvField& theirs, const std::string& type,
                         Oracle oracle, bool jet3);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_ORACLE_FIELDS_H_
