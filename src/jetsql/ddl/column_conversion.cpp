#include "jetsql/ddl/column_conversion.h"

#include "error/error.h"
#include "error/errors.h"
#include "jet/text_encoder.h"
#include "jetsql/value_convert.h"

namespace jetsql {
namespace {

using jet::ColumnType;

bool IsBinaryType(ColumnType t) {
  return t == ColumnType::kBinary || t == ColumnType::kOle;
}

}  // namespace

jet::Value ConvertForColumn(const jet::Value& value, const jet::ColumnDef& column) {
  if (jet::IsNull(value)) return value;
  const bool binary_value = std::holds_alternative<jet::Bytes>(value);
  if (binary_value != IsBinaryType(column.type)) throw errors::DataTypeConversion();
  jet::Value converted;
  try {
    converted = ConvertValue(value, column.type);
  } catch (const jet::Error& e) {
    if (e.number() == errors::code::kOverflow) throw errors::NumericOverflow();
    throw errors::DataTypeConversion();
  }
  if (column.type == ColumnType::kText) {
    const auto& text = std::get<std::string>(converted);
    if (jet::Utf8ToUtf16(text).size() * 2 > column.size) throw errors::FieldTooSmall();
  } else if (column.type == ColumnType::kBinary) {
    if (std::get<jet::Bytes>(converted).size() > column.size) throw errors::FieldTooSmall();
  }
  return converted;
}

}  // namespace jetsql
