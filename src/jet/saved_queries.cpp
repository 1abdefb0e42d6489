#include "jet/saved_queries.h"

#include <algorithm>
#include <map>
#include <memory>

#include "error/errors.h"
#include "jet/catalog.h"
#include "jet/column_lookup.h"
#include "jet/index_key.h"
#include "jet/name_fold.h"

namespace jet {
namespace {

namespace qf = query_format;

constexpr char kNewLine[] = "\r\n";

// A value of a column as text, when it is one.
bool TextOf(TableCursor& cursor, int column, std::string* out) {
  if (column < 0) return false;
  Value v = cursor.value(column);
  if (const std::string* s = std::get_if<std::string>(&v)) {
    *out = *s;
    return true;
  }
  return false;
}

int64_t IntegerOf(TableCursor& cursor, int column) {
  if (column < 0) return 0;
  Value v = cursor.value(column);
  if (const uint8_t* b = std::get_if<uint8_t>(&v)) return *b;
  if (const int16_t* i = std::get_if<int16_t>(&v)) return *i;
  if (const int32_t* l = std::get_if<int32_t>(&v)) return *l;
  return 0;
}

// ---- names ----

bool IsWordChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c >= 0x80;
}

bool IsBracketed(const std::string& s) {
  return s.size() >= 2 && s.front() == '[' && s.back() == ']';
}

// A name as Access writes it in SQL: in brackets unless it is a plain word.
std::string QuoteName(const std::string& name) {
  if (IsBracketed(name)) return name;
  bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
  for (unsigned char c : name) plain = plain && IsWordChar(c);
  return plain ? name : "[" + name + "]";
}

// A dotted name (table.field), each part quoted as needed.
std::string QuoteDottedName(const std::string& name) {
  if (IsBracketed(name)) return name;
  std::string out;
  size_t start = 0;
  while (true) {
    size_t dot = name.find('.', start);
    std::string part = name.substr(start, dot == std::string::npos ? dot : dot - start);
    if (!out.empty() || start > 0) out += '.';
    out += QuoteName(part);
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return out;
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

// ---- the rows of one query ----

class QueryRows {
 public:
  explicit QueryRows(std::vector<QueryRow> rows) : rows_(std::move(rows)) {
    // Rows of one attribute keep their storage order unless their Order bytes say otherwise.
    std::stable_sort(rows_.begin(), rows_.end(), [](const QueryRow& a, const QueryRow& b) {
      if (a.attribute != b.attribute) return a.attribute < b.attribute;
      return a.order < b.order;
    });
  }

  std::vector<const QueryRow*> All(uint8_t attribute) const {
    std::vector<const QueryRow*> out;
    for (const QueryRow& r : rows_) {
      if (r.attribute == attribute) out.push_back(&r);
    }
    return out;
  }
  // The attribute's row; an empty row when there is none.
  const QueryRow& One(uint8_t attribute) const {
    for (const QueryRow& r : rows_) {
      if (r.attribute == attribute) return r;
    }
    return empty_;
  }
  bool Has(uint8_t attribute) const { return &One(attribute) != &empty_; }

 private:
  std::vector<QueryRow> rows_;
  QueryRow empty_;
};

std::string ParameterType(int16_t code) {
  static const std::map<int16_t, const char*> kNames = {
      {0, "Value"},    {1, "Bit"},         {2, "Byte"},       {3, "Short"},    {4, "Long"},
      {5, "Currency"}, {6, "IEEESingle"},  {7, "IEEEDouble"}, {8, "DateTime"}, {9, "Binary"},
      {10, "Text"},    {11, "LongBinary"}, {12, "LongText"},  {15, "Guid"},    {16, "Decimal"}};
  auto found = kNames.find(code);
  if (found == kNames.end()) throw errors::UnrecognizedFormat("MSysQueries");
  return found->second;
}

std::string ParametersClause(const QueryRows& rows) {
  std::vector<std::string> params;
  for (const QueryRow* r : rows.All(qf::kAttributeParameter)) {
    std::string p = QuoteName(r->name1) + " " + ParameterType(r->flag);
    if (r->flag == static_cast<int16_t>(ColumnType::kText) && r->extra > 0) {
      p += " ( " + std::to_string(r->extra) + " )";
    }
    params.push_back(std::move(p));
  }
  if (params.empty()) return "";
  return "PARAMETERS " + Join(params, ", ") + ";" + kNewLine;
}

std::string RemoteDatabase(const std::string& path, bool has_path, const std::string& type,
                           bool has_type) {
  if (!has_path && !has_type) return "";
  std::string out = " IN '" + path + "'";
  if (has_type) out += " [" + type + "]";
  return out;
}

// ---- FROM: tables and the joins between them ----

struct FromSource {
  std::string text;               // a single table
  std::vector<std::string> keys;  // the names its tables are known by (alias or name)
  std::unique_ptr<FromSource> left, right;
  int16_t join = 0;
  std::vector<std::string> on;

  bool Contains(const std::string& name) const {
    return std::any_of(keys.begin(), keys.end(),
                       [&](const std::string& k) { return SameName(k, name); });
  }

  std::string Render(bool top) const {
    if (!left) return text;
    const char* kind = join == 2 ? " LEFT JOIN " : join == 3 ? " RIGHT JOIN " : " INNER JOIN ";
    std::string condition = on.size() == 1 ? on[0] : "(" + Join(on, ") AND (") + ")";
    std::string out = left->Render(false) + kind + right->Render(false) + " ON " + condition;
    return top ? out : "(" + out + ")";
  }
};

std::unique_ptr<FromSource> SimpleSource(const std::string& name) {
  auto s = std::make_unique<FromSource>();
  s->text = QuoteName(name);
  s->keys.push_back(name);
  return s;
}

std::string FromList(const QueryRows& rows) {
  std::vector<std::unique_ptr<FromSource>> sources;
  for (const QueryRow* r : rows.All(qf::kAttributeTable)) {
    auto s = std::make_unique<FromSource>();
    if (r->has_expression)
      s->text = (IsBracketed(r->expression) ? r->expression : "[" + r->expression + "]") + ".";
    if (r->has_name1) s->text += QuoteName(r->name1);
    if (r->has_name2) s->text += " AS " + QuoteName(r->name2);
    s->keys.push_back(r->has_name2 ? r->name2 : r->name1);
    sources.push_back(std::move(s));
  }
  for (const QueryRow* r : rows.All(qf::kAttributeJoin)) {
    auto take = [&](const std::string& name) -> std::unique_ptr<FromSource> {
      for (auto it = sources.begin(); it != sources.end(); ++it) {
        if ((*it)->Contains(name)) {
          auto s = std::move(*it);
          sources.erase(it);
          return s;
        }
      }
      return SimpleSource(name);
    };
    // Another condition between tables already joined the same way belongs to that join.
    auto same = std::find_if(sources.begin(), sources.end(), [&](const auto& s) {
      return s->Contains(r->name1) && s->Contains(r->name2);
    });
    if (same != sources.end()) {
      if ((*same)->left && (*same)->join == r->flag) {
        (*same)->on.insert((*same)->on.begin(), r->expression);
        continue;
      }
      throw errors::UnrecognizedFormat("MSysQueries");
    }
    auto join = std::make_unique<FromSource>();
    join->left = take(r->name1);
    join->right = take(r->name2);
    join->join = r->flag;
    join->on.push_back(r->expression);
    join->keys = join->left->keys;
    join->keys.insert(join->keys.end(), join->right->keys.begin(), join->right->keys.end());
    sources.push_back(std::move(join));
  }
  std::vector<std::string> parts;
  for (const auto& s : sources) parts.push_back(s->Render(true));
  return Join(parts, ", ");
}

// ---- SELECT and the clauses after FROM ----

std::string SelectQuantifier(const QueryRows& rows) {
  const QueryRow& f = rows.One(qf::kAttributeFlags);
  std::string out;
  if (f.flag & qf::kSelectDistinct) {
    out = "DISTINCT ";
  } else if (f.flag & qf::kSelectDistinctRow) {
    out = "DISTINCTROW ";
  }
  if (f.flag & qf::kSelectTop) {
    out += "TOP " + f.name1 + ((f.flag & qf::kSelectPercent) ? " PERCENT " : " ");
  }
  return out;
}

std::string ColumnText(const QueryRow& r) {
  return r.expression + (r.has_name1 ? " AS " + QuoteName(r.name1) : "");
}

struct SelectParts {
  std::vector<const QueryRow*> columns;
  std::vector<const QueryRow*> group_by;
  std::string into;  // " INTO target ..." of a make-table query
};

std::string SelectText(const QueryRows& rows, const SelectParts& parts, bool select_word) {
  std::vector<std::string> columns;
  for (const QueryRow* r : parts.columns) columns.push_back(ColumnText(*r));
  if (rows.One(qf::kAttributeFlags).flag & qf::kSelectStar) columns.push_back("*");
  std::string out = select_word ? "SELECT " + SelectQuantifier(rows) : "";
  out += Join(columns, ", ") + parts.into;
  std::string from = FromList(rows);
  if (!from.empty()) {
    const QueryRow& remote = rows.One(qf::kAttributeRemoteDb);
    out += kNewLine + ("FROM " + from) +
           RemoteDatabase(remote.name1, remote.has_name1, remote.expression, remote.has_expression);
  }
  if (rows.Has(qf::kAttributeWhere)) {
    out += kNewLine + ("WHERE " + rows.One(qf::kAttributeWhere).expression);
  }
  std::vector<std::string> groups;
  for (const QueryRow* r : parts.group_by) groups.push_back(r->expression);
  if (!groups.empty()) out += kNewLine + ("GROUP BY " + Join(groups, ", "));
  if (rows.Has(qf::kAttributeHaving)) {
    out += kNewLine + ("HAVING " + rows.One(qf::kAttributeHaving).expression);
  }
  std::vector<std::string> order;
  for (const QueryRow* r : rows.All(qf::kAttributeOrderBy)) {
    order.push_back(r->expression + (r->name1 == "D" || r->name1 == "d" ? " DESC" : ""));
  }
  if (!order.empty()) out += kNewLine + ("ORDER BY " + Join(order, ", "));
  return out;
}

std::vector<const QueryRow*> WithFlag(const std::vector<const QueryRow*>& rows, int16_t bits,
                                      bool set) {
  std::vector<const QueryRow*> out;
  for (const QueryRow* r : rows) {
    if (((r->flag & bits) != 0) == set) out.push_back(r);
  }
  return out;
}

// The stored text of a union part: trimmed, its line ends made Access's.
std::string UnionPart(const QueryRows& rows, const char* part) {
  for (const QueryRow* r : rows.All(qf::kAttributeTable)) {
    if (r->name2 != part) continue;
    std::string out;
    bool in_break = false;
    for (char c : r->expression) {
      if (c == '\r' || c == '\n') {
        in_break = true;
        continue;
      }
      if (in_break && !out.empty()) out += kNewLine;
      in_break = false;
      out += c;
    }
    size_t begin = out.find_first_not_of(" \t");
    size_t end = out.find_last_not_of(" \t");
    return begin == std::string::npos ? "" : out.substr(begin, end - begin + 1);
  }
  throw errors::UnrecognizedFormat("MSysQueries");
}

std::string StoredText(const QueryRow& type_row) {
  std::string text = type_row.expression;
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string TargetColumns(const std::vector<const QueryRow*>& columns) {
  std::vector<std::string> names;
  for (const QueryRow* r : columns) {
    if (r->has_name2) names.push_back(QuoteDottedName(r->name2));
  }
  return names.empty() ? "" : " ( " + Join(names, ", ") + " )";
}

}  // namespace

std::string QuerySql(QueryType type, std::vector<QueryRow> raw_rows) {
  const QueryRows rows(std::move(raw_rows));
  const QueryRow& type_row = rows.One(qf::kAttributeType);
  if (type == QueryType::kDataDefinition || type == QueryType::kPassThrough) {
    return StoredText(type_row);
  }
  const std::vector<const QueryRow*> columns = rows.All(qf::kAttributeColumn);
  SelectParts parts;
  parts.columns = columns;
  parts.group_by = rows.All(qf::kAttributeGroupBy);
  std::string body;
  switch (type) {
    case QueryType::kSelect:
      body = SelectText(rows, parts, true);
      break;
    case QueryType::kMakeTable:
      parts.into = " INTO " + QuoteName(type_row.name1) +
                   RemoteDatabase(type_row.name2, type_row.has_name2, type_row.expression,
                                  type_row.has_expression);
      body = SelectText(rows, parts, true);
      break;
    case QueryType::kAppend: {
      std::vector<const QueryRow*> values = WithFlag(columns, qf::kAppendValue, true);
      parts.columns = WithFlag(columns, qf::kAppendValue, false);
      body = "INSERT INTO " + QuoteName(type_row.name1) + TargetColumns(parts.columns) +
             RemoteDatabase(type_row.name2, type_row.has_name2, type_row.expression,
                            type_row.has_expression) +
             kNewLine;
      if (!values.empty()) {
        std::vector<std::string> texts;
        for (const QueryRow* r : values) texts.push_back(r->expression);
        body += "VALUES (" + Join(texts, ", ") + ")";
      } else {
        body += SelectText(rows, parts, true);
      }
      break;
    }
    case QueryType::kUpdate: {
      std::vector<std::string> sets;
      for (const QueryRow* r : columns) {
        sets.push_back(QuoteDottedName(r->name2) + " = " + r->expression);
      }
      const QueryRow& remote = rows.One(qf::kAttributeRemoteDb);
      body =
          "UPDATE " + FromList(rows) +
          RemoteDatabase(remote.name1, remote.has_name1, remote.expression, remote.has_expression) +
          kNewLine + "SET " + Join(sets, ", ");
      if (rows.Has(qf::kAttributeWhere)) {
        body += kNewLine + ("WHERE " + rows.One(qf::kAttributeWhere).expression);
      }
      break;
    }
    case QueryType::kDelete:
      body = "DELETE " + SelectText(rows, parts, false);
      break;
    case QueryType::kCrosstab: {
      std::vector<const QueryRow*> value =
          WithFlag(WithFlag(columns, qf::kCrosstabPivot, false), qf::kCrosstabNormal, false);
      std::vector<const QueryRow*> pivot = WithFlag(columns, qf::kCrosstabPivot, true);
      if (value.size() != 1 || pivot.size() != 1) throw errors::UnrecognizedFormat("MSysQueries");
      parts.columns = WithFlag(columns, qf::kCrosstabNormal, true);
      parts.group_by = WithFlag(parts.group_by, qf::kCrosstabNormal, true);
      body = "TRANSFORM " + ColumnText(*value[0]) + kNewLine + SelectText(rows, parts, true) +
             kNewLine + "PIVOT " + pivot[0]->expression;
      break;
    }
    case QueryType::kUnion: {
      const bool distinct = rows.One(qf::kAttributeFlags).flag & qf::kUnionDistinct;
      body = UnionPart(rows, qf::kUnionPart1) + kNewLine + (distinct ? "UNION " : "UNION ALL ") +
             UnionPart(rows, qf::kUnionPart2);
      std::vector<std::string> order;
      for (const QueryRow* r : rows.All(qf::kAttributeOrderBy)) {
        order.push_back(r->expression + (r->name1 == "D" || r->name1 == "d" ? " DESC" : ""));
      }
      if (!order.empty()) body += kNewLine + ("ORDER BY " + Join(order, ", "));
      break;
    }
    default:
      throw errors::UnrecognizedFormat("MSysQueries");
  }
  std::string sql = ParametersClause(rows) + body;
  if (rows.One(qf::kAttributeFlags).flag & qf::kSelectOwnerAccess && type != QueryType::kUnion) {
    sql += kNewLine + std::string("WITH OWNERACCESS OPTION");
  }
  return sql + ";";
}

std::vector<SavedQuery> ReadSavedQueries(Database& db) {
  std::vector<SavedQuery> queries;
  {
    auto def = db.GetTableDef(catalog::kObjectsTable);
    const int id = FindColumn(*def, "Id");
    const int name = FindColumn(*def, "Name");
    const int type = FindColumn(*def, "Type");
    const int flags = FindColumn(*def, "Flags");
    for (auto cursor = db.Scan(def->name); cursor->Valid(); cursor->Next()) {
      if (IntegerOf(*cursor, type) != qf::kTypeQuery) continue;
      SavedQuery q;
      if (!TextOf(*cursor, name, &q.name)) continue;
      q.id = static_cast<int32_t>(IntegerOf(*cursor, id));
      q.flags = static_cast<uint32_t>(IntegerOf(*cursor, flags));
      queries.push_back(std::move(q));
    }
  }
  if (queries.empty()) return queries;

  std::map<int32_t, std::vector<QueryRow>> rows_by_id;
  auto def = db.GetTableDef(qf::kQueriesTable);
  const int object_id = FindColumn(*def, "ObjectId");
  const int attribute = FindColumn(*def, "Attribute");
  const int order = FindColumn(*def, "Order");
  const int name1 = FindColumn(*def, "Name1");
  const int name2 = FindColumn(*def, "Name2");
  const int expression = FindColumn(*def, "Expression");
  const int flag = FindColumn(*def, "Flag");
  const int extra = FindColumn(*def, "LvExtra");
  for (auto cursor = db.Scan(def->name); cursor->Valid(); cursor->Next()) {
    QueryRow r;
    r.attribute = static_cast<uint8_t>(IntegerOf(*cursor, attribute));
    if (order >= 0) {
      Value v = cursor->value(order);
      if (const Bytes* b = std::get_if<Bytes>(&v)) r.order.assign(b->begin(), b->end());
    }
    r.has_name1 = TextOf(*cursor, name1, &r.name1);
    r.has_name2 = TextOf(*cursor, name2, &r.name2);
    r.has_expression = TextOf(*cursor, expression, &r.expression);
    r.flag = static_cast<int16_t>(IntegerOf(*cursor, flag));
    r.extra = static_cast<int32_t>(IntegerOf(*cursor, extra));
    rows_by_id[static_cast<int32_t>(IntegerOf(*cursor, object_id))].push_back(std::move(r));
  }

  for (SavedQuery& q : queries) {
    std::vector<QueryRow>& rows = rows_by_id[q.id];
    for (const QueryRow& r : rows) {
      if (r.attribute == qf::kAttributeType) q.type = static_cast<QueryType>(r.flag);
    }
    q.sql = QuerySql(q.type, std::move(rows));
  }

  const IndexKeyColumn name_column{ColumnType::kText, true};
  std::vector<std::pair<std::string, SavedQuery>> keyed;
  for (SavedQuery& q : queries) {
    std::string key;
    AppendIndexKey(key, name_column, q.name, db.version());
    keyed.emplace_back(std::move(key), std::move(q));
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < queries.size(); ++i) queries[i] = std::move(keyed[i].second);
  return queries;
}

}  // namespace jet
