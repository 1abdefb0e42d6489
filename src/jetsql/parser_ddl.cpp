#include "jetsql/parser_ddl.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "error/errors.h"
#include "jetsql/parser.h"
#include "jetsql/token_cursor.h"

namespace jetsql {
namespace {

using jet::ColumnType;

// How a type name reads: its type and what a size in parentheses means for it.
enum class SizeRule { kNone, kText, kBinary, kDecimal, kCounter };

struct TypeName {
  std::string_view name;
  ColumnType type;
  SizeRule size;
};

constexpr TypeName kTypeNames[] = {
    {"TEXT", ColumnType::kText, SizeRule::kText},
    {"CHAR", ColumnType::kText, SizeRule::kText},
    {"VARCHAR", ColumnType::kText, SizeRule::kText},
    {"CHARACTER", ColumnType::kText, SizeRule::kText},
    {"STRING", ColumnType::kText, SizeRule::kText},
    {"ALPHANUMERIC", ColumnType::kText, SizeRule::kText},
    {"NCHAR", ColumnType::kText, SizeRule::kText},
    {"NVARCHAR", ColumnType::kText, SizeRule::kText},
    {"MEMO", ColumnType::kMemo, SizeRule::kNone},
    {"LONGTEXT", ColumnType::kMemo, SizeRule::kNone},
    {"LONGCHAR", ColumnType::kMemo, SizeRule::kNone},
    {"NOTE", ColumnType::kMemo, SizeRule::kNone},
    {"NTEXT", ColumnType::kMemo, SizeRule::kNone},
    {"BYTE", ColumnType::kByte, SizeRule::kNone},
    {"TINYINT", ColumnType::kByte, SizeRule::kNone},
    {"INTEGER1", ColumnType::kByte, SizeRule::kNone},
    {"SHORT", ColumnType::kInteger, SizeRule::kNone},
    {"SMALLINT", ColumnType::kInteger, SizeRule::kNone},
    {"INTEGER2", ColumnType::kInteger, SizeRule::kNone},
    {"LONG", ColumnType::kLong, SizeRule::kNone},
    {"INT", ColumnType::kLong, SizeRule::kNone},
    {"INTEGER", ColumnType::kLong, SizeRule::kNone},
    {"INTEGER4", ColumnType::kLong, SizeRule::kNone},
    {"SINGLE", ColumnType::kSingle, SizeRule::kNone},
    {"REAL", ColumnType::kSingle, SizeRule::kNone},
    {"FLOAT4", ColumnType::kSingle, SizeRule::kNone},
    {"IEEESINGLE", ColumnType::kSingle, SizeRule::kNone},
    {"DOUBLE", ColumnType::kDouble, SizeRule::kNone},
    {"FLOAT", ColumnType::kDouble, SizeRule::kNone},
    {"NUMBER", ColumnType::kDouble, SizeRule::kNone},
    {"FLOAT8", ColumnType::kDouble, SizeRule::kNone},
    {"IEEEDOUBLE", ColumnType::kDouble, SizeRule::kNone},
    {"CURRENCY", ColumnType::kCurrency, SizeRule::kNone},
    {"MONEY", ColumnType::kCurrency, SizeRule::kNone},
    {"DATETIME", ColumnType::kDateTime, SizeRule::kNone},
    {"DATE", ColumnType::kDateTime, SizeRule::kNone},
    {"TIME", ColumnType::kDateTime, SizeRule::kNone},
    {"TIMESTAMP", ColumnType::kDateTime, SizeRule::kNone},
    {"YESNO", ColumnType::kBoolean, SizeRule::kNone},
    {"BIT", ColumnType::kBoolean, SizeRule::kNone},
    {"LOGICAL", ColumnType::kBoolean, SizeRule::kNone},
    {"LOGICAL1", ColumnType::kBoolean, SizeRule::kNone},
    {"BOOLEAN", ColumnType::kBoolean, SizeRule::kNone},
    {"COUNTER", ColumnType::kLong, SizeRule::kCounter},
    {"AUTOINCREMENT", ColumnType::kLong, SizeRule::kCounter},
    {"BINARY", ColumnType::kBinary, SizeRule::kBinary},
    {"VARBINARY", ColumnType::kBinary, SizeRule::kBinary},
    {"LONGBINARY", ColumnType::kOle, SizeRule::kNone},
    {"OLEOBJECT", ColumnType::kOle, SizeRule::kNone},
    {"IMAGE", ColumnType::kOle, SizeRule::kNone},
    {"GENERAL", ColumnType::kOle, SizeRule::kNone},
    {"GUID", ColumnType::kGuid, SizeRule::kNone},
    {"UNIQUEIDENTIFIER", ColumnType::kGuid, SizeRule::kNone},
    {"DECIMAL", ColumnType::kNumeric, SizeRule::kDecimal},
    {"NUMERIC", ColumnType::kNumeric, SizeRule::kDecimal},
    {"DEC", ColumnType::kNumeric, SizeRule::kDecimal},
};

constexpr uint16_t kMaxTextCharacters = 255;
constexpr uint16_t kDefaultBinarySize = 510;
constexpr uint16_t kMaxBinarySize = 510;
constexpr uint8_t kDefaultDecimalPrecision = 18;
constexpr uint8_t kMaxDecimalPrecision = 28;

using Fail = void (*)();

class DdlParser : private TokenCursor {
 public:
  explicit DdlParser(std::vector<Token> tokens) : TokenCursor(std::move(tokens)) {}

  DataDefinition Parse() {
    DataDefinition d;
    std::string first = Upper(tok().text);
    Advance();
    if (first == "CREATE") {
      if (AcceptWord("TABLE")) {
        d.kind = DataDefinition::Kind::kCreateTable;
        d.create_table = ParseCreateTable();
        End(FailCreateTable);
      } else if (IsWord("UNIQUE") || IsWord("INDEX")) {
        d.kind = DataDefinition::Kind::kCreateIndex;
        d.create_index = ParseCreateIndex();
        End(FailCreateIndex);
      } else {
        FailCreateTable();
      }
    } else if (first == "DROP") {
      d.drop = ParseDrop();
      d.kind = d.drop.index ? DataDefinition::Kind::kDropIndex : DataDefinition::Kind::kDropTable;
      End(FailDrop);
    } else {
      d.kind = DataDefinition::Kind::kAlterTable;
      d.alter_table = ParseAlterTable();
      End(FailAlter);
    }
    return d;
  }

 private:
  [[noreturn]] static void FailCreateTable() { throw errors::SyntaxInCreateTable(); }
  [[noreturn]] static void FailField() { throw errors::SyntaxInFieldDefinition(); }
  [[noreturn]] static void FailConstraint() { throw errors::SyntaxInConstraint(); }
  [[noreturn]] static void FailCreateIndex() { throw errors::SyntaxInCreateIndex(); }
  [[noreturn]] static void FailDrop() { throw errors::SyntaxInDrop(); }
  [[noreturn]] static void FailAlter() { throw errors::SyntaxInAlterTable(); }

  // ---- CREATE TABLE ----

  CreateTableStatement ParseCreateTable() {
    CreateTableStatement s;
    s.table = TakeName(FailCreateTable);
    Expect("(", FailCreateTable);
    do {
      if (StartsConstraint()) {
        s.constraints.push_back(ParseTableConstraint());
      } else {
        s.fields.push_back(ParseField(FailField));
      }
    } while (AcceptSymbol(","));
    Expect(")", FailCreateTable);
    return s;
  }

  // A table element that is a constraint rather than a field named like a keyword.
  bool StartsConstraint() const {
    if (IsWord("CONSTRAINT")) return true;
    if (IsWord("PRIMARY") || IsWord("FOREIGN")) return IsWord("KEY", &peek());
    if (IsWord("UNIQUE")) return peek().kind == TokenKind::kSymbol && peek().text == "(";
    return false;
  }

  FieldDefinition ParseField(Fail fail) {
    FieldDefinition f;
    f.name = TakeName(fail);
    f.type = ParseType();
    while (true) {
      if (AcceptWord("NOT")) {
        if (!AcceptWord("NULL")) fail();
        f.not_null = true;
      } else if (AcceptWord("NULL")) {
        // the default: Null allowed
      } else if (AcceptWord("WITH")) {
        if (!AcceptWord("COMPRESSION") && !AcceptWord("COMP")) fail();
        if (f.type.type != ColumnType::kText && f.type.type != ColumnType::kMemo) fail();
        f.compressed = true;
      } else if (IsWord("CONSTRAINT") || IsWord("PRIMARY") || IsWord("UNIQUE") ||
                 IsWord("REFERENCES")) {
        ConstraintDefinition c = ParseColumnConstraint();
        if (c.kind == ConstraintDefinition::Kind::kNotNull) {
          f.not_null = true;
          continue;
        }
        c.columns.push_back(f.name);
        f.constraints.push_back(std::move(c));
      } else {
        break;
      }
    }
    return f;
  }

  FieldType ParseType() {
    if (tok().kind != TokenKind::kWord) FailField();
    std::string word = Upper(tok().text);
    const TypeName* found = nullptr;
    for (const TypeName& t : kTypeNames) {
      if (t.name == word) found = &t;
    }
    if (!found) FailField();
    Advance();
    FieldType type;
    type.type = found->type;
    switch (found->size) {
      case SizeRule::kNone:
        if (IsSymbol("(")) FailField();
        break;
      case SizeRule::kText:
        type.size = kMaxTextCharacters;
        if (AcceptSymbol("(")) {
          type.size = static_cast<uint16_t>(TakeCount(1, kMaxTextCharacters));
          Expect(")", FailField);
        }
        break;
      case SizeRule::kBinary:
        type.size = kDefaultBinarySize;
        if (AcceptSymbol("(")) {
          type.size = static_cast<uint16_t>(TakeCount(1, kMaxBinarySize));
          Expect(")", FailField);
        }
        break;
      case SizeRule::kDecimal:
        type.precision = kDefaultDecimalPrecision;
        if (AcceptSymbol("(")) {
          type.precision = static_cast<uint8_t>(TakeCount(1, kMaxDecimalPrecision));
          if (AcceptSymbol(",")) type.scale = static_cast<uint8_t>(TakeCount(0, type.precision));
          Expect(")", FailField);
        }
        break;
      case SizeRule::kCounter:
        type.autonumber = true;
        if (AcceptSymbol("(")) {
          type.seed = TakeSigned();
          if (AcceptSymbol(",")) type.increment = TakeSigned();
          Expect(")", FailField);
          if (type.increment == 0) FailField();
        }
        break;
    }
    return type;
  }

  int64_t TakeCount(int64_t min, int64_t max) {
    if (tok().kind != TokenKind::kNumber || !tok().integer) FailField();
    double n = tok().number;
    if (n < static_cast<double>(min) || n > static_cast<double>(max)) FailField();
    Advance();
    return static_cast<int64_t>(n);
  }

  int32_t TakeSigned() {
    bool negative = AcceptSymbol("-");
    if (!negative) AcceptSymbol("+");
    if (tok().kind != TokenKind::kNumber || !tok().integer) FailField();
    double n = tok().number;
    if (negative) n = -n;
    if (n < -2147483648.0 || n > 2147483647.0) FailField();
    Advance();
    return static_cast<int32_t>(n);
  }

  // After a field: [CONSTRAINT name] PRIMARY KEY | UNIQUE | NOT NULL | REFERENCES t [(f)] ...
  ConstraintDefinition ParseColumnConstraint() {
    ConstraintDefinition c;
    if (AcceptWord("CONSTRAINT")) c.name = TakeName(FailConstraint);
    if (AcceptWord("PRIMARY")) {
      if (!AcceptWord("KEY")) FailConstraint();
      c.kind = ConstraintDefinition::Kind::kPrimaryKey;
    } else if (AcceptWord("UNIQUE")) {
      c.kind = ConstraintDefinition::Kind::kUnique;
    } else if (AcceptWord("NOT")) {
      if (!AcceptWord("NULL")) FailConstraint();
      c.kind = ConstraintDefinition::Kind::kNotNull;
    } else if (IsWord("REFERENCES")) {
      c.kind = ConstraintDefinition::Kind::kForeignKey;
      ParseReferences(c);
    } else {
      FailConstraint();
    }
    return c;
  }

  ConstraintDefinition ParseTableConstraint() {
    ConstraintDefinition c;
    if (AcceptWord("CONSTRAINT")) c.name = TakeName(FailConstraint);
    if (AcceptWord("PRIMARY")) {
      if (!AcceptWord("KEY")) FailConstraint();
      c.kind = ConstraintDefinition::Kind::kPrimaryKey;
      c.columns = NameList(FailConstraint);
    } else if (AcceptWord("UNIQUE")) {
      c.kind = ConstraintDefinition::Kind::kUnique;
      c.columns = NameList(FailConstraint);
    } else if (AcceptWord("FOREIGN")) {
      if (!AcceptWord("KEY")) FailConstraint();
      c.kind = ConstraintDefinition::Kind::kForeignKey;
      if (AcceptWord("NO") && !AcceptWord("INDEX")) FailConstraint();
      c.columns = NameList(FailConstraint);
      ParseReferences(c);
      if (!c.referenced_columns.empty() && c.referenced_columns.size() != c.columns.size()) {
        FailConstraint();
      }
    } else {
      FailConstraint();
    }
    return c;
  }

  void ParseReferences(ConstraintDefinition& c) {
    if (!AcceptWord("REFERENCES")) FailConstraint();
    c.referenced_table = TakeName(FailConstraint);
    if (IsSymbol("(")) c.referenced_columns = NameList(FailConstraint);
    while (IsWord("ON")) {
      Advance();
      bool update = AcceptWord("UPDATE");
      if (!update && !AcceptWord("DELETE")) FailConstraint();
      if (!AcceptWord("CASCADE")) FailConstraint();
      (update ? c.cascade_update : c.cascade_delete) = true;
    }
  }

  std::vector<std::string> NameList(Fail fail) {
    std::vector<std::string> names;
    Expect("(", fail);
    do {
      names.push_back(TakeName(fail));
    } while (AcceptSymbol(","));
    Expect(")", fail);
    return names;
  }

  // ---- CREATE INDEX ----

  CreateIndexStatement ParseCreateIndex() {
    CreateIndexStatement s;
    s.unique = AcceptWord("UNIQUE");
    if (!AcceptWord("INDEX")) FailCreateIndex();
    s.name = TakeName(FailCreateIndex);
    if (!AcceptWord("ON")) FailCreateIndex();
    s.table = TakeName(FailCreateIndex);
    Expect("(", FailCreateIndex);
    do {
      IndexField f;
      f.name = TakeName(FailCreateIndex);
      if (AcceptWord("DESC")) {
        f.descending = true;
      } else {
        AcceptWord("ASC");
      }
      s.fields.push_back(std::move(f));
    } while (AcceptSymbol(","));
    Expect(")", FailCreateIndex);
    if (AcceptWord("WITH")) {
      do {
        if (AcceptWord("PRIMARY")) {
          s.primary = true;
        } else if (AcceptWord("DISALLOW")) {
          if (!AcceptWord("NULL")) FailCreateIndex();
          s.disallow_null = true;
        } else if (AcceptWord("IGNORE")) {
          if (!AcceptWord("NULL")) FailCreateIndex();
          s.ignore_null = true;
        } else {
          FailCreateIndex();
        }
      } while (IsWord("PRIMARY") || IsWord("DISALLOW") || IsWord("IGNORE"));
    }
    return s;
  }

  // ---- DROP ----

  DropStatement ParseDrop() {
    DropStatement s;
    if (AcceptWord("TABLE")) {
      s.name = TakeName(FailDrop);
    } else if (AcceptWord("INDEX")) {
      s.index = true;
      s.name = TakeName(FailDrop);
      if (!AcceptWord("ON")) FailDrop();
      s.table = TakeName(FailDrop);
    } else {
      FailDrop();
    }
    return s;
  }

  // ---- ALTER TABLE ----

  AlterTableStatement ParseAlterTable() {
    using Action = AlterTableStatement::Action;
    AlterTableStatement s;
    if (!AcceptWord("TABLE")) FailAlter();
    s.table = TakeName(FailAlter);
    if (AcceptWord("ADD")) {
      if (IsWord("CONSTRAINT") || StartsConstraint()) {
        s.action = Action::kAddConstraint;
        s.constraint = ParseTableConstraint();
      } else {
        AcceptWord("COLUMN");
        s.action = Action::kAddColumn;
        s.field = ParseField(FailField);
      }
    } else if (AcceptWord("DROP")) {
      if (AcceptWord("CONSTRAINT")) {
        s.action = Action::kDropConstraint;
        s.name = TakeName(FailAlter);
      } else {
        AcceptWord("COLUMN");
        s.action = Action::kDropColumn;
        s.name = TakeName(FailAlter);
      }
    } else if (AcceptWord("ALTER")) {
      AcceptWord("COLUMN");
      s.action = Action::kAlterColumn;
      s.field = ParseField(FailField);
    } else {
      FailAlter();
    }
    return s;
  }

  // ---- tokens ----

  void End(Fail fail) {
    AcceptSymbol(";");
    if (tok().kind != TokenKind::kEnd) fail();
  }

  void Expect(std::string_view s, Fail fail) {
    if (!AcceptSymbol(s)) fail();
  }
  std::string TakeName(Fail fail) {
    bool name = tok().kind == TokenKind::kName ||
                (tok().kind == TokenKind::kWord && !IsReservedWord(tok().text));
    if (!name || tok().text.empty()) fail();
    std::string n = tok().text;
    Advance();
    return n;
  }
};

}  // namespace

DataDefinition ParseDataDefinition(const std::vector<Token>& tokens) {
  return DdlParser(tokens).Parse();
}

}  // namespace jetsql
