#ifndef QUORLA_JETSQL_DML_COLUMN_VALUE_H_
#define QUORLA_JETSQL_DML_COLUMN_VALUE_H_

// A value converted for storing in a field, as Jet converts what INSERT and UPDATE write: text
// becomes a number or date by the regional settings, numbers are rounded to the field's type
// (Currency to four places), any number is a Yes/No (not zero: True), and a Yes/No written to a
// text field is "-1" or "0".

#include "jet/database.h"

namespace jetsql {

// Throws jet::Error 3464 when the value has no form of the field's type, 6 when it is too large
// for it. Null stays Null; the engine decides whether the field may be Null.
jet::Value ValueForColumn(const jet::Value& value, const jet::ColumnDef& column);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_COLUMN_VALUE_H_
