#include "jetsql/dml/column_value.h"

#include "jetsql/value_convert.h"

namespace jetsql {

jet::Value ValueForColumn(const jet::Value& value, const jet::ColumnDef& column) {
  if (jet::IsNull(value)) return value;
  const bool text_target =
      column.type == jet::ColumnType::kText || column.type == jet::ColumnType::kMemo;
  if (text_target) {
    if (const bool* b = std::get_if<bool>(&value)) return std::string(*b ? "-1" : "0");
  }
  try {
    return ConvertValue(value, column.type);
  } catch (const jet::Error& e) {
    if (e.number() != errors::code::kRuntimeTypeMismatch &&
        e.number() != errors::code::kInvalidArgument)
      throw;
    throw errors::CriteriaTypeMismatch();
  }
}

}  // namespace jetsql
