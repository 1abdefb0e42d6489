#ifndef QUORLA_JETSQL_DML_REFERENTIAL_CHECKS_H_
#define QUORLA_JETSQL_DML_REFERENTIAL_CHECKS_H_

// Row changes that keep the relationships whose integrity is enforced, as Jet keeps them, row by
// row inside the statement (an error leaves the statement to be rolled back whole):
// - a referring row whose key (the relationship's columns) has no Null must find the referenced
//   row: else 3201 naming the referenced table;
// - a referenced row that is deleted, or whose key changes, while rows refer to it takes them
//   along where the relationship cascades (their keys follow the new key, they are deleted, or
//   their keys become Null), each such change again keeping every relationship; without a
//   cascade it is refused with 3200 naming the referring table.
// Keys compare as index keys (text without regard to case); a key that compares equal has not
// changed.

#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "jet/database.h"
#include "jet/relationships.h"

namespace jetsql {

class ReferentialWriter {
 public:
  // Keeps the relationships `database` records in MSysRelationships, read on first use.
  explicit ReferentialWriter(jet::Database& database);
  // Keeps `relationships` (those not enforced, or naming tables or columns that do not exist, are
  // ignored).
  ReferentialWriter(jet::Database& database, std::vector<jet::Relationship> relationships);
  ~ReferentialWriter();

  // As jet::Database::InsertRow, UpdateRow and DeleteRow, with the relationships kept. `table` is
  // named as its definition names it.
  jet::RowId Insert(const std::string& table, std::vector<jet::Value> values);
  void Update(const std::string& table, jet::RowId id, std::vector<jet::Value> values);
  // As Update, with `values` as ReadRow gave them but for the columns `assigned` marks (see
  // jet::Database::UpdateRowColumns).
  void UpdateColumns(const std::string& table, jet::RowId id, std::vector<jet::Value> values,
                     const std::vector<bool>& assigned);
  // False when a cascade of this writer has already deleted the row.
  bool Delete(const std::string& table, jet::RowId id);

 private:
  struct Link;
  struct TableLinks;

  const TableLinks& LinksOf(const std::string& table);
  void Load();
  void UpdateRow(const std::string& table, jet::RowId id, std::vector<jet::Value> values, int depth,
                 const std::vector<bool>* assigned = nullptr);
  bool DeleteRow(const std::string& table, jet::RowId id, int depth);
  void RequireReferencedRows(const TableLinks& links, const std::string& table, jet::RowId id,
                             const std::vector<jet::Value>* before);
  std::vector<jet::RowId> ReferringRows(const Link& link, const std::vector<jet::Value>& key);

  jet::Database& db_;
  bool given_ = false;  // relationships_ came from the caller, not from the file
  bool loaded_ = false;
  std::vector<jet::Relationship> relationships_;
  std::vector<std::unique_ptr<Link>> links_;
  std::unordered_map<std::string, std::unique_ptr<TableLinks>> by_table_;
  std::set<std::pair<std::string, uint64_t>> deleted_;  // (table, packed row id)
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_DML_REFERENTIAL_CHECKS_H_
