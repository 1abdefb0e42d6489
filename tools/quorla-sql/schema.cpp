#include "schema.h"

#include "commands.h"

namespace quorla_sql {
namespace {

// Jet 4 stores text as UCS-2: two bytes a character.
constexpr int kJet4BytesPerChar = 2;

std::string Bracketed(const std::string& name) {
  std::string out = "[";
  for (char c : name) {
    out.push_back(c);
    if (c == ']') out.push_back(']');
  }
  out.push_back(']');
  return out;
}

std::string TypeName(const jet::ColumnDef& column, jet::JetVersion version) {
  using jet::ColumnType;
  switch (column.type) {
    case ColumnType::kBoolean:
      return "YESNO";
    case ColumnType::kByte:
      return "BYTE";
    case ColumnType::kInteger:
      return "SHORT";
    case ColumnType::kLong:
      return column.autonumber ? "COUNTER" : "LONG";
    case ColumnType::kCurrency:
      return "CURRENCY";
    case ColumnType::kSingle:
      return "SINGLE";
    case ColumnType::kDouble:
      return "DOUBLE";
    case ColumnType::kDateTime:
      return "DATETIME";
    case ColumnType::kBinary:
      return "BINARY(" + std::to_string(column.size) + ")";
    case ColumnType::kText: {
      int chars = version == jet::JetVersion::kJet4 ? column.size / kJet4BytesPerChar : column.size;
      return "TEXT(" + std::to_string(chars) + ")";
    }
    case ColumnType::kOle:
      return "LONGBINARY";
    case ColumnType::kMemo:
      return "MEMO";
    case ColumnType::kGuid:
      return "GUID";
    case ColumnType::kNumeric:
      return "DECIMAL(" + std::to_string(column.precision) + ", " + std::to_string(column.scale) +
             ")";
    case ColumnType::kComplex:
      return "LONG";  // the complex column's own id
  }
  return "BINARY(" + std::to_string(column.size) + ")";  // a type this program does not know
}

std::string IndexDdl(const jet::TableDef& table, const jet::IndexDef& index) {
  std::string out = "CREATE ";
  if (index.unique || index.primary) out += "UNIQUE ";
  out += "INDEX " + Bracketed(index.name) + " ON " + Bracketed(table.name) + " (";
  for (size_t i = 0; i < index.columns.size(); ++i) {
    const jet::IndexColumn& ic = index.columns[i];
    if (i > 0) out += ", ";
    if (ic.column >= 0 && static_cast<size_t>(ic.column) < table.columns.size()) {
      out += Bracketed(table.columns[static_cast<size_t>(ic.column)].name);
    } else {
      out += "[?]";
    }
    if (!ic.ascending) out += " DESC";
  }
  out += ")";
  if (index.primary) {
    out += " WITH PRIMARY";
  } else if (index.required) {
    out += " WITH DISALLOW NULL";
  } else if (index.ignore_nulls) {
    out += " WITH IGNORE NULL";
  }
  out += ";\n";
  return out;
}

}  // namespace

std::string TableDdl(const jet::TableDef& table, jet::JetVersion version) {
  std::string out = "CREATE TABLE " + Bracketed(table.name) + " (";
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const jet::ColumnDef& column = table.columns[i];
    out += i > 0 ? ",\n  " : "\n  ";
    out += Bracketed(column.name) + " " + TypeName(column, version);
    if (!column.nullable) out += " NOT NULL";
  }
  out += "\n);\n";
  for (const jet::IndexDef& index : table.indexes) {
    if (!index.foreign_key) out += IndexDdl(table, index);
  }
  return out;
}

void PrintSchema(jet::Database& db, const std::optional<std::string>& table, Output& out) {
  if (table) {
    out.buffer() += TableDdl(*db.GetTableDef(*table), db.version());
    return;
  }
  bool first = true;
  for (const jet::CatalogEntry& entry : db.Tables()) {
    if (entry.system) continue;
    if (!first) out.buffer() += "\n";
    first = false;
    if (entry.linked) {  // its definition lives in the other file
      out.buffer() += "-- " + Bracketed(entry.name) + ": verknüpfte Tabelle\n";
      continue;
    }
    out.buffer() += TableDdl(*db.GetTableDef(entry.name), db.version());
    out.MaybeFlush();
  }
}

}  // namespace quorla_sql
