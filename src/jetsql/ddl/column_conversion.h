#ifndef QUORLA_JETSQL_DDL_COLUMN_CONVERSION_H_
#define QUORLA_JETSQL_DDL_COLUMN_CONVERSION_H_

// How ALTER TABLE ... ALTER COLUMN converts a stored value to the column's new type: as the
// conversion functions do (CStr, CLng, CDbl, CDate, CBool ...), refusing a value that does not
// fit instead of losing it.

#include "jet/database.h"

namespace jetsql {

// `value` as column `column` stores it; Null stays Null. Throws 3421 for a value the type cannot
// take (text that is no number or date, binary data into another type), 3349 for a number out
// of the type's range, 3163 for text or binary longer than the column's size.
jet::Value ConvertForColumn(const jet::Value& value, const jet::ColumnDef& column);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DDL_COLUMN_CONVERSION_H_
