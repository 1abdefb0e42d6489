#ifndef QUORLA_JETSQL_SQLITE_BRIDGE_H_
#define QUORLA_JETSQL_SQLITE_BRIDGE_H_

// Where Jet SQL meets SQLite. The binder translates a Jet statement into SQLite SQL; that SQL reads
// Jet tables through the virtual-table module registered here and calls the functions registered
// here. Both sides hold values in SQLite's storage classes by this convention:
//
//   Jet type             SQLite value
//   Null                 NULL
//   Yes/No               INTEGER -1 (True) or 0 (False)
//   Byte, Integer, Long  INTEGER
//   Currency             INTEGER, the amount times 10,000 (exact)
//   Single, Double       REAL
//   Date/Time            REAL, days since 1899-12-30 (Jet's own encoding)
//   Text, Memo           TEXT (UTF-8)
//   Binary, OLE          BLOB
//   Replication ID       TEXT "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
//   Decimal              TEXT, the exact decimal number ("-12.3400")
//
// A SQLite value alone does not say its Jet type (a Date and a Double are both REAL). The binder
// knows every expression's Jet type statically; where a function's behaviour depends on the type
// of an argument (CStr, Format, &, Str, ...) the binder passes the argument's Jet type code
// (jet::ColumnType as an INTEGER) as an extra argument right after it.
//
// Naming: the Access function Foo is registered as jet_foo (lower case); operators with Access
// semantics are jet_op_<name> (see functions/registry.h); the text collation is "jet_general".

#include <sqlite3.h>

#include <string>

#include "jet/database.h"
#include "jetsql/callback_error.h"

namespace jetsql {

// Registers the module "jet" on `db`. `CREATE VIRTUAL TABLE temp.x USING jet("<Jet table name>")`
// then exposes that table's columns in field order under their own names. The jet::Database must
// outlive the connection. Errors of the module's callbacks wait in `pending` (callback_error.h),
// which must outlive the connection too.
void RegisterJetModule(sqlite3* db, jet::Database* database, PendingError* pending = nullptr);

// Registers every jet_* function, the operators and the "jet_general" collation on `db`, their
// errors waiting in `pending`.
void RegisterJetFunctions(sqlite3* db, PendingError* pending = nullptr);

// Converts between jet::Value and the convention above.
void BindJetValue(sqlite3_stmt* stmt, int index, const jet::Value& value);
void ResultJetValue(sqlite3_context* ctx, const jet::Value& value);
jet::Value ReadJetValue(sqlite3_value* value, jet::ColumnType type);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_SQLITE_BRIDGE_H_
