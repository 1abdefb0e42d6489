#ifndef QUORLA_TESTS_JETSQL_QUERY_OBJECTS_H_
#define QUORLA_TESTS_JETSQL_QUERY_OBJECTS_H_

// Adds catalogue objects to a (temporary copy of a) Jet 4 file the way Access stores them: saved
// queries as an MSysObjects row of type 5 plus their MSysQueries rows, linked tables as an
// MSysObjects row of type 6. Written through the program's own writer (INSERT into the system
// tables), so the sample files need not contain every kind of object.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jetsql/session.h"

namespace testsupport {

// One MSysQueries row (see src/jet/saved_queries.h for what each attribute holds).
struct QueryPart {
  int attribute = 0;
  std::optional<std::string> name1, name2, expression;
  int flag = 0;
  int extra = 0;
};

inline QueryPart Part(int attribute, std::optional<std::string> name1 = std::nullopt,
                      std::optional<std::string> name2 = std::nullopt,
                      std::optional<std::string> expression = std::nullopt, int flag = 0,
                      int extra = 0) {
  QueryPart p;
  p.attribute = attribute;
  p.name1 = std::move(name1);
  p.name2 = std::move(name2);
  p.expression = std::move(expression);
  p.flag = flag;
  p.extra = extra;
  return p;
}

namespace detail {

// The Id of the Tables container, the parent of every table and query.
constexpr int32_t kTablesContainer = 251658241;

inline std::string Text(const std::optional<std::string>& s) {
  if (!s) return "Null";
  std::string out = "'";
  for (char c : *s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

inline void InsertObject(jetsql::Session& session, int32_t id, const std::string& name, int type,
                         const std::optional<std::string>& database,
                         const std::optional<std::string>& foreign_name) {
  session.Execute(
      "INSERT INTO MSysObjects (Id, ParentId, Name, Type, Flags, DateCreate, "
      "DateUpdate, [Database], ForeignName) VALUES (" +
      std::to_string(id) + ", " + std::to_string(kTablesContainer) + ", " + Text(name) + ", " +
      std::to_string(type) + ", 0, #2024-01-02#, #2024-01-02#, " + Text(database) + ", " +
      Text(foreign_name) + ")");
}

// One MSysQueries row; `order` numbers the rows of one attribute, as Access does (the key of
// the table is ObjectId, Attribute, Order).
inline void InsertPart(jet::Database& db, int32_t id, const QueryPart& p, uint8_t order) {
  auto def = db.GetTableDef("MSysQueries");
  std::vector<jet::Value> row(def->columns.size());
  auto text = [](const std::optional<std::string>& s) { return s ? jet::Value(*s) : jet::Value(); };
  for (size_t i = 0; i < row.size(); ++i) {
    const std::string& column = def->columns[i].name;
    if (column == "ObjectId") row[i] = id;
    if (column == "Attribute") row[i] = static_cast<uint8_t>(p.attribute);
    if (column == "Order") row[i] = jet::Bytes{0, 0, 0, order};
    if (column == "Name1") row[i] = text(p.name1);
    if (column == "Name2") row[i] = text(p.name2);
    if (column == "Expression") row[i] = text(p.expression);
    if (column == "Flag") row[i] = static_cast<int16_t>(p.flag);
    if (column == "LvExtra") row[i] = static_cast<int32_t>(p.extra);
  }
  db.InsertRow("MSysQueries", std::move(row));
}

}  // namespace detail

// Adds the saved query `name` of `type` (1 select, 6 crosstab, 9 union, ...) with object id `id`.
inline void AddSavedQuery(const std::string& file, int32_t id, const std::string& name, int type,
                          const std::vector<QueryPart>& parts) {
  {
    jetsql::Session session(file, jetsql::Session::Mode::kReadWrite);
    detail::InsertObject(session, id, name, 5, std::nullopt, std::nullopt);
  }
  std::unique_ptr<jet::Database> db = jet::Database::OpenForWriting(file);
  std::vector<QueryPart> all = {Part(0), Part(1, std::nullopt, std::nullopt, std::nullopt, type)};
  all.insert(all.end(), parts.begin(), parts.end());
  all.push_back(Part(255));
  uint8_t order[256] = {};
  for (const QueryPart& p : all) detail::InsertPart(*db, id, p, ++order[p.attribute]);
}

// Every row as text, one line each ('text', numbers, Null, #<type> for other values, each followed
// by |), in the order given or sorted for comparing results without regard to order.
inline std::vector<std::string> RowsAsText(const jetsql::RecordSet& rs, bool sorted = false) {
  std::vector<std::string> out;
  for (const auto& row : rs.rows) {
    std::string line;
    for (const jet::Value& v : row) {
      if (const std::string* s = std::get_if<std::string>(&v)) {
        line += "'" + *s + "'";
      } else if (jet::IsNull(v)) {
        line += "Null";
      } else if (const double* d = std::get_if<double>(&v)) {
        line += std::to_string(*d);
      } else if (const int32_t* l = std::get_if<int32_t>(&v)) {
        line += std::to_string(*l);
      } else {
        line += "#" + std::to_string(v.index());
      }
      line += "|";
    }
    out.push_back(line);
  }
  if (sorted) std::sort(out.begin(), out.end());
  return out;
}

// Adds a table `name` linked to table `foreign_name` of the Jet file `database`.
inline void AddLinkedTable(const std::string& file, int32_t id, const std::string& name,
                           const std::string& database, const std::string& foreign_name) {
  jetsql::Session session(file, jetsql::Session::Mode::kReadWrite);
  detail::InsertObject(session, id, name, 6, database, foreign_name);
}

}  // namespace testsupport

#endif  // QUORLA_TESTS_JETSQL_QUERY_OBJECTS_H_
