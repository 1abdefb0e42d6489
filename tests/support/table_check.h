#ifndef QUORLA_TESTS_SUPPORT_TABLE_CHECK_H_
#define QUORLA_TESTS_SUPPORT_TABLE_CHECK_H_

// Checks of a database file the engine has written to, for tests that change files and then look
// at what is left: a digest of a table's contents that does not depend on where rows lie, and
// the agreement of every index with the rows.

#include <string>
#include <vector>

#include "jet/database.h"

namespace testsupport {

// The tables' rows as a short text (per table its row count and a hash of all values, in no
// particular row order): two states give the same digest exactly when they hold the same rows.
std::string TablesDigest(jet::Database& db, const std::vector<std::string>& tables);

// Every user table of the file: its name, columns and indexes, and the digest of its rows.
// Two states give the same text exactly when they hold the same tables with the same rows.
std::string DatabaseDigest(jet::Database& db);

// Every index of the table: the B-tree passes the structural check (jet/index_check.h), lists
// exactly the table's rows (less the all-Null keys an ignore-nulls index leaves out), and finds
// every row by its key. `path` is the file `db` was opened on. Returns "" or the first problems.
std::string CheckTableIndexes(jet::Database& db, const std::string& path, const std::string& table);

// How many rows of the table's data pages are overflow rows (the data of a row that outgrew its
// page, stored on another page while the row keeps its address).
int CountOverflowRows(const std::string& path, const std::string& table);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_TABLE_CHECK_H_
