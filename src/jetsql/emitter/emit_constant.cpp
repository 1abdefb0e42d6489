// Literals and the small spellings every other emitter uses.

#include <cstdio>

#include "jetsql/emitter/emitter.h"

namespace jetsql {

std::string TypeCode(jet::ColumnType t) {
  return std::to_string(static_cast<int>(t));
}

std::string RealLiteral(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  std::string s = buf;
  if (s.find_first_of(".eEni") == std::string::npos) s += ".0";
  return s;
}

std::string TextLiteral(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}

std::string EmitConstant(const BoundConstant& c) {
  switch (c.kind) {
    case BoundConstant::Kind::kNull:
      return "NULL";
    case BoundConstant::Kind::kInteger:
      return std::to_string(c.integer);
    case BoundConstant::Kind::kReal:
      return RealLiteral(c.real);
    case BoundConstant::Kind::kText:
      return TextLiteral(c.text);
    case BoundConstant::Kind::kLiteral:
      return c.text;
  }
  return "NULL";
}

std::string Collated(const std::string& sql, jet::ColumnType type) {
  return IsTextType(type) ? sql + " COLLATE jet_general" : sql;
}

}  // namespace jetsql
