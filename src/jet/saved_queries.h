#ifndef QUORLA_JET_SAVED_QUERIES_H_
#define QUORLA_JET_SAVED_QUERIES_H_

// Saved queries: the objects of type 5 in MSysObjects, whose definitions Access keeps not as
// text but as rows of the system table MSysQueries, one row per part of the statement:
//
//   ObjectId   the query's Id in MSysObjects
//   Attribute  what the row describes (kAttribute* below)
//   Order      (binary) sorts rows of one attribute; often Null, then storage order counts
//   Name1, Name2, Expression, Flag, LvExtra   the part's data, by attribute
//
// This file turns those rows back into the SQL text Access shows in the query's SQL view.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jet {

namespace query_format {
inline constexpr char kQueriesTable[] = "MSysQueries";
inline constexpr int16_t kTypeQuery = 5;  // MSysObjects.Type of a saved query

inline constexpr uint8_t kAttributeStart = 0;
inline constexpr uint8_t kAttributeType = 1;       // Flag: query type; Name1/Name2/Expression
                                                   // by type (target table, DDL text, ...)
inline constexpr uint8_t kAttributeParameter = 2;  // Name1 name, Flag type, LvExtra text size
inline constexpr uint8_t kAttributeFlags = 3;      // Flag: kSelect* bits; Name1: TOP value
inline constexpr uint8_t kAttributeRemoteDb = 4;   // Name1 path, Expression connect type
inline constexpr uint8_t kAttributeTable = 5;      // Name1 table, Name2 alias (union: part)
inline constexpr uint8_t kAttributeColumn = 6;     // Expression, Name1 alias, Name2 target
inline constexpr uint8_t kAttributeJoin = 7;       // Name1 left, Name2 right, Expression ON,
                                                   // Flag 1 inner, 2 left, 3 right
inline constexpr uint8_t kAttributeWhere = 8;      // Expression
inline constexpr uint8_t kAttributeGroupBy = 9;    // Expression
inline constexpr uint8_t kAttributeHaving = 10;    // Expression
inline constexpr uint8_t kAttributeOrderBy = 11;   // Expression, Name1 "D" when descending
inline constexpr uint8_t kAttributeEnd = 255;

// Flag bits of the kAttributeFlags row.
inline constexpr int16_t kSelectStar = 0x01;
inline constexpr int16_t kSelectDistinct = 0x02;
inline constexpr int16_t kSelectOwnerAccess = 0x04;
inline constexpr int16_t kSelectDistinctRow = 0x08;
inline constexpr int16_t kSelectTop = 0x10;
inline constexpr int16_t kSelectPercent = 0x20;
// In a union query the same row's Flag says UNION (set) or UNION ALL (clear).
inline constexpr int16_t kUnionDistinct = 0x02;

// Column rows of a crosstab: the PIVOT expression, and the ordinary select columns; the one
// with neither bit is the TRANSFORM value. Group-by rows carry kCrosstabNormal too.
inline constexpr int16_t kCrosstabPivot = 0x01;
inline constexpr int16_t kCrosstabNormal = 0x02;
// Column rows of an append query that are VALUES (not a SELECT's columns).
inline constexpr int16_t kAppendValue = static_cast<int16_t>(0x8000);

// The Name2 of a union query's two table rows: the text before the last UNION, and after it.
inline constexpr char kUnionPart1[] = "X7YZ_____1";
inline constexpr char kUnionPart2[] = "X7YZ_____2";
}  // namespace query_format

enum class QueryType : int16_t {
  kSelect = 1,
  kMakeTable = 2,
  kAppend = 3,
  kUpdate = 4,
  kDelete = 5,
  kCrosstab = 6,
  kDataDefinition = 7,
  kPassThrough = 8,
  kUnion = 9,
};

struct SavedQuery {
  std::string name;
  int32_t id = 0;
  uint32_t flags = 0;  // MSysObjects.Flags
  QueryType type = QueryType::kSelect;
  std::string sql;  // as Access shows it, lines joined by "\r\n", ending in ";"
                    // (data-definition and pass-through queries: their text as stored)
  // Whether the query returns rows and can stand where a table can.
  bool row_returning() const {
    return type == QueryType::kSelect || type == QueryType::kCrosstab || type == QueryType::kUnion;
  }
};

// The database's saved queries in the catalogue's name order (empty when it has none). Throws
// Error as reading a table does.
std::vector<SavedQuery> ReadSavedQueries(Database& db);

// One MSysQueries row, as the decoder reads it.
struct QueryRow {
  uint8_t attribute = 0;
  std::string order;  // the Order bytes
  std::string name1, name2, expression;
  bool has_name1 = false, has_name2 = false, has_expression = false;
  int16_t flag = 0;
  int32_t extra = 0;
};

// The SQL text of one query from its rows (in storage order). Throws Error 3343 for rows no
// query of `type` can have.
std::string QuerySql(QueryType type, std::vector<QueryRow> rows);

}  // namespace jet

#endif  // QUORLA_JET_SAVED_QUERIES_H_
