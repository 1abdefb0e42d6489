#include "jetsql/dml/referential_checks.h"

#include "jet/key_lookup.h"
#include "jet/name_fold.h"
#include "jetsql/dml/column_value.h"

namespace jetsql {

// An enforced relationship with its tables' definitions and columns as positions in them.
struct ReferentialWriter::Link {
  std::shared_ptr<const jet::TableDef> table;  // the referring table
  std::vector<int> columns;
  std::shared_ptr<const jet::TableDef> referenced;
  std::vector<int> referenced_columns;
  bool cascade_updates = false;
  bool cascade_deletes = false;
  bool cascade_null = false;
};

struct ReferentialWriter::TableLinks {
  std::vector<const Link*> referring;   // relationships in which the table refers
  std::vector<const Link*> referenced;  // relationships in which it is referred to
};

namespace {

// Cascades reach through at most this many relationships (a chain of rows referring to each
// other in one table counts each step).
constexpr int kMaxCascadeDepth = 1000;

std::vector<jet::Value> KeyOf(const std::vector<jet::Value>& row, const std::vector<int>& columns) {
  std::vector<jet::Value> key;
  key.reserve(columns.size());
  for (int c : columns) key.push_back(row[static_cast<size_t>(c)]);
  return key;
}

bool HasNull(const std::vector<jet::Value>& key) {
  for (const auto& v : key) {
    if (jet::IsNull(v)) return true;
  }
  return false;
}

bool SameKey(const jet::TableDef& def, const std::vector<int>& columns,
             const std::vector<jet::Value>& a, const std::vector<jet::Value>& b,
             jet::JetVersion version) {
  for (int c : columns) {
    const auto i = static_cast<size_t>(c);
    if (!jet::SameKeyValue(def.columns[i], a[i], b[i], version)) return false;
  }
  return true;
}

// Positions of `names` in `def`; empty when one is missing.
std::vector<int> Positions(const jet::TableDef& def, const std::vector<std::string>& names) {
  std::vector<int> out;
  for (const auto& name : names) {
    int found = -1;
    for (size_t i = 0; i < def.columns.size() && found < 0; ++i) {
      if (jet::SameName(def.columns[i].name, name)) found = static_cast<int>(i);
    }
    if (found < 0) return {};
    out.push_back(found);
  }
  return out;
}

std::shared_ptr<const jet::TableDef> FindTable(jet::Database& db, const std::string& name) {
  try {
    return db.GetTableDef(name);
  } catch (const jet::Error& e) {
    if (e.number() == errors::code::kTableNotFound) return nullptr;
    throw;
  }
}

uint64_t Packed(jet::RowId id) {
  return (static_cast<uint64_t>(id.page) << 16) | id.row;
}

void CheckDepth(int depth) {
  if (depth > kMaxCascadeDepth) throw errors::QueryTooComplex();
}

}  // namespace

ReferentialWriter::ReferentialWriter(jet::Database& database) : db_(database) {}

ReferentialWriter::ReferentialWriter(jet::Database& database,
                                     std::vector<jet::Relationship> relationships)
    : db_(database), given_(true), relationships_(std::move(relationships)) {}

ReferentialWriter::~ReferentialWriter() = default;

void ReferentialWriter::Load() {
  if (loaded_) return;
  loaded_ = true;
  if (!given_) relationships_ = jet::ReadRelationships(db_);
  for (const jet::Relationship& r : relationships_) {
    if (!r.enforced()) continue;
    auto link = std::make_unique<Link>();
    link->table = FindTable(db_, r.table);
    link->referenced = FindTable(db_, r.referenced_table);
    if (!link->table || !link->referenced) continue;
    link->columns = Positions(*link->table, r.columns);
    link->referenced_columns = Positions(*link->referenced, r.referenced_columns);
    if (link->columns.empty() || link->columns.size() != link->referenced_columns.size()) continue;
    link->cascade_updates = r.cascade_updates();
    link->cascade_deletes = r.cascade_deletes();
    link->cascade_null = r.cascade_null();
    auto& referring = by_table_[jet::FoldName(link->table->name)];
    if (!referring) referring = std::make_unique<TableLinks>();
    referring->referring.push_back(link.get());
    auto& referenced = by_table_[jet::FoldName(link->referenced->name)];
    if (!referenced) referenced = std::make_unique<TableLinks>();
    referenced->referenced.push_back(link.get());
    links_.push_back(std::move(link));
  }
}

const ReferentialWriter::TableLinks& ReferentialWriter::LinksOf(const std::string& table) {
  static const TableLinks kNone;
  Load();
  if (links_.empty()) return kNone;
  auto found = by_table_.find(jet::FoldName(table));
  return found == by_table_.end() ? kNone : *found->second;
}

std::vector<jet::RowId> ReferentialWriter::ReferringRows(const Link& link,
                                                         const std::vector<jet::Value>& key) {
  std::vector<jet::RowId> rows;
  const std::string table = jet::FoldName(link.table->name);
  for (jet::RowId id : jet::FindRowsByKey(db_, *link.table, link.columns, key)) {
    if (!deleted_.count({table, Packed(id)})) rows.push_back(id);
  }
  return rows;
}

void ReferentialWriter::RequireReferencedRows(const TableLinks& links, const std::string& table,
                                              jet::RowId id,
                                              const std::vector<jet::Value>* before) {
  const std::vector<jet::Value> now = db_.ReadRow(table, id);
  for (const Link* link : links.referring) {
    const std::vector<jet::Value> key = KeyOf(now, link->columns);
    if (HasNull(key)) continue;
    if (before && SameKey(*link->table, link->columns, *before, now, db_.version())) continue;
    if (jet::FindRowsByKey(db_, *link->referenced, link->referenced_columns, key, 1).empty()) {
      throw errors::RelatedRecordRequired(link->referenced->name);
    }
  }
}

jet::RowId ReferentialWriter::Insert(const std::string& table, std::vector<jet::Value> values) {
  const TableLinks& links = LinksOf(table);
  const jet::RowId id = db_.InsertRow(table, std::move(values));
  if (!links_.empty()) deleted_.erase({jet::FoldName(table), Packed(id)});
  // Checked once the row is in place, so that a row may refer to itself.
  if (!links.referring.empty()) RequireReferencedRows(links, table, id, nullptr);
  return id;
}

void ReferentialWriter::Update(const std::string& table, jet::RowId id,
                               std::vector<jet::Value> values) {
  UpdateRow(table, id, std::move(values), 0);
}

void ReferentialWriter::UpdateColumns(const std::string& table, jet::RowId id,
                                      std::vector<jet::Value> values,
                                      const std::vector<bool>& assigned) {
  UpdateRow(table, id, std::move(values), 0, &assigned);
}

void ReferentialWriter::UpdateRow(const std::string& table, jet::RowId id,
                                  std::vector<jet::Value> values, int depth,
                                  const std::vector<bool>* assigned) {
  CheckDepth(depth);
  const TableLinks& links = LinksOf(table);
  if (links.referring.empty() && links.referenced.empty()) {
    if (assigned != nullptr) {
      db_.UpdateRowColumns(table, id, std::move(values), *assigned);
    } else {
      db_.UpdateRow(table, id, std::move(values));
    }
    return;
  }
  const std::vector<jet::Value> before = db_.ReadRow(table, id);
  struct Cascade {
    const Link* link;
    std::vector<jet::Value> old_key;
    std::vector<jet::Value> new_key;
  };
  std::vector<Cascade> cascades;
  for (const Link* link : links.referenced) {
    std::vector<jet::Value> old_key = KeyOf(before, link->referenced_columns);
    if (HasNull(old_key) ||
        SameKey(*link->referenced, link->referenced_columns, before, values, db_.version())) {
      continue;
    }
    if (link->cascade_updates) {
      cascades.push_back({link, std::move(old_key), KeyOf(values, link->referenced_columns)});
    } else if (!ReferringRows(*link, old_key).empty()) {
      throw errors::RelatedRecordsExist(link->table->name);
    }
  }
  db_.UpdateRow(table, id, std::move(values));
  for (const Cascade& c : cascades) {
    const jet::TableDef& child = *c.link->table;
    for (jet::RowId child_id : ReferringRows(*c.link, c.old_key)) {
      std::vector<jet::Value> row = db_.ReadRow(child.name, child_id);
      for (size_t i = 0; i < c.link->columns.size(); ++i) {
        const auto column = static_cast<size_t>(c.link->columns[i]);
        row[column] = ValueForColumn(c.new_key[i], child.columns[column]);
      }
      UpdateRow(child.name, child_id, std::move(row), depth + 1);
    }
  }
  if (!links.referring.empty()) RequireReferencedRows(links, table, id, &before);
}

bool ReferentialWriter::Delete(const std::string& table, jet::RowId id) {
  return DeleteRow(table, id, 0);
}

bool ReferentialWriter::DeleteRow(const std::string& table, jet::RowId id, int depth) {
  CheckDepth(depth);
  const TableLinks& links = LinksOf(table);
  if (links_.empty()) {
    db_.DeleteRow(table, id);
    return true;
  }
  const std::pair<std::string, uint64_t> self{jet::FoldName(table), Packed(id)};
  if (deleted_.count(self)) return false;
  if (links.referenced.empty()) {
    db_.DeleteRow(table, id);
    deleted_.insert(self);
    return true;
  }
  const std::vector<jet::Value> before = db_.ReadRow(table, id);
  // Rows of the same table that refer to this one do not count it as their referenced row.
  deleted_.insert(self);
  for (const Link* link : links.referenced) {
    if (link->cascade_deletes || link->cascade_null) continue;
    const std::vector<jet::Value> key = KeyOf(before, link->referenced_columns);
    if (!HasNull(key) && !ReferringRows(*link, key).empty()) {
      throw errors::RelatedRecordsExist(link->table->name);
    }
  }
  for (const Link* link : links.referenced) {
    if (!link->cascade_deletes && !link->cascade_null) continue;
    const std::vector<jet::Value> key = KeyOf(before, link->referenced_columns);
    if (HasNull(key)) continue;
    const jet::TableDef& child = *link->table;
    for (jet::RowId child_id : ReferringRows(*link, key)) {
      if (link->cascade_deletes) {
        DeleteRow(child.name, child_id, depth + 1);
        continue;
      }
      std::vector<jet::Value> row = db_.ReadRow(child.name, child_id);
      for (int c : link->columns) row[static_cast<size_t>(c)] = jet::Value{};
      UpdateRow(child.name, child_id, std::move(row), depth + 1);
    }
  }
  db_.DeleteRow(table, id);
  return true;
}

}  // namespace jetsql
