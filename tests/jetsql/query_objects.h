#ifndef QUORLA_TESTS_JETSQL_QUERY_OBJECTS_H_
#define QUORLA_TESTS_JETSQL_QUERY_OBJECTS_H_

// Adds catalogue objects to a (temporary copy of a) Jet 4 file the way Access stores them: saved
// queries as an MSysObjects row of type 5 plus their MSysQueries rows, linked tables as an
// MSysObjects row of type 6. Written through the program's own SQL (INSERT into the system
// tables), so the sample files need not contain every kind of object.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

inline void InsertPart(jetsql::Session& session, int32_t id, const QueryPart& p) {
  session.Execute(
      "INSERT INTO MSysQueries (ObjectId, Attribute, Name1, Name2, Expression, Flag, "
      "LvExtra) VALUES (" +
      std::to_string(id) + ", " + std::to_string(p.attribute) + ", " + Text(p.name1) + ", " +
      Text(p.name2) + ", " + Text(p.expression) + ", " + std::to_string(p.flag) + ", " +
      std::to_string(p.extra) + ")");
}

}  // namespace detail

// Adds the saved query `name` of `type` (1 select, 6 crosstab, 9 union, ...) with object id `id`.
inline void AddSavedQuery(const std::string& file, int32_t id, const std::string& name, int type,
                          const std::vector<QueryPart>& parts) {
  jetsql::Session session(file, jetsql::Session::Mode::kReadWrite);
  detail::InsertObject(session, id, name, 5, std::nullopt, std::nullopt);
  detail::InsertPart(session, id, Part(0));
  detail::InsertPart(session, id, Part(1, std::nullopt, std::nullopt, std::nullopt, type));
  for (const QueryPart& p : parts) detail::InsertPart(session, id, p);
  detail::InsertPart(session, id, Part(255));
}

// Adds a table `name` linked to table `foreign_name` of the Jet file `database`.
inline void AddLinkedTable(const std::string& file, int32_t id, const std::string& name,
                           const std::string& database, const std::string& foreign_name) {
  jetsql::Session session(file, jetsql::Session::Mode::kReadWrite);
  detail::InsertObject(session, id, name, 6, database, foreign_name);
}

}  // namespace testsupport

#endif  // QUORLA_TESTS_JETSQL_QUERY_OBJECTS_H_
