#include "jet/relationship_writer.h"

#include <algorithm>
#include <functional>

#include "error/errors.h"
#include "jet/catalog.h"
#include "jet/catalog_rows.h"
#include "jet/column_lookup.h"
#include "jet/index_creator.h"
#include "jet/index_dropper.h"
#include "jet/key_lookup.h"
#include "jet/name_fold.h"
#include "jet/schema_pages.h"
#include "jet/tdef_page.h"
#include "jet/tdef_writer.h"

namespace jet {
namespace {

std::vector<int> Positions(const TableDef& def, const std::vector<std::string>& names) {
  std::vector<int> out;
  for (const std::string& name : names) {
    const int found = FindColumn(def, name);
    if (found < 0) throw errors::ItemNotFound();
    out.push_back(found);
  }
  return out;
}

bool OverSameColumns(const IndexDef& index, const std::vector<int>& columns) {
  if (index.columns.size() != columns.size()) return false;
  for (const IndexColumn& c : index.columns) {
    if (std::find(columns.begin(), columns.end(), c.column) == columns.end()) return false;
  }
  return true;
}

// The unique index over exactly `columns` (the primary key first), or -1.
int UniqueIndexOver(const TableDef& def, const std::vector<int>& columns) {
  int found = -1;
  for (size_t i = 0; i < def.indexes.size(); ++i) {
    const IndexDef& index = def.indexes[i];
    if (!index.unique || !OverSameColumns(index, columns)) continue;
    if (found < 0 || index.primary) found = static_cast<int>(i);
  }
  return found;
}

// The referenced side's entries are named ".rB", ".rC", ... as Access names them.
std::string ReferencedEntryName(const TableDef& def) {
  for (char c = 'B'; c != '{'; c = c == 'Z' ? 'a' : static_cast<char>(c + 1)) {
    std::string name = std::string(".r") + c;
    bool taken = false;
    for (const IndexDef& index : def.indexes) taken |= SameName(index.name, name);
    if (!taken) return name;
  }
  throw errors::IndexNameTaken(def.name, ".r");
}

void EditDefinition(Pager& pager, uint32_t tdef_page,
                    const std::function<bool(std::vector<uint8_t>&)>& edit) {
  std::vector<uint32_t> chain;
  std::vector<uint8_t> definition = ReadTableDefinitionBytes(pager, tdef_page, &chain);
  if (!edit(definition)) return;
  GlobalPages global(pager);
  WriteTableDefinition(
      pager, definition, chain, [&] { return global.Allocate(); },
      [&](uint32_t page) { global.Free(page); });
}

// Logical index `removed` of the table on `tdef_page` is gone: every relationship entry that
// numbers one of that table's later indexes follows.
void RenumberReferencesTo(Pager& pager, Database& db, uint32_t tdef_page, size_t removed) {
  for (const ObjectRow& row : ReadObjectRows(db)) {
    if (row.type != catalog::kTypeLocalTable) continue;
    const uint32_t page = static_cast<uint32_t>(row.id) & catalog::kIdPageMask;
    EditDefinition(pager, page, [&](std::vector<uint8_t>& definition) {
      return RenumberRelatedIndexes(definition, tdef_page, static_cast<uint32_t>(removed));
    });
  }
}

void CheckExistingRows(Database& db, const TableDef& from, const std::vector<int>& columns,
                       const TableDef& to, const std::vector<int>& referenced_columns) {
  for (auto cursor = db.Scan(from.name); cursor->Valid(); cursor->Next()) {
    std::vector<Value> key;
    bool null = false;
    for (int c : columns) {
      key.push_back(cursor->value(c));
      null |= IsNull(key.back());
    }
    if (null) continue;
    if (FindRowsByKey(db, to, referenced_columns, key, 1).empty()) {
      throw errors::ExistingDataViolatesIntegrity(from.name, to.name);
    }
  }
}

bool HasRelationshipNamed(Database& db, const std::string& name) {
  for (const Relationship& r : ReadRelationships(db)) {
    if (SameName(r.name, name)) return true;
  }
  return false;
}

IndexReference ReferenceOf(const Relationship& r) {
  IndexReference ref;
  ref.cascade_updates = r.cascade_updates();
  ref.cascade_deletes = r.cascade_deletes();
  ref.cascade_null = r.cascade_null();
  return ref;
}

}  // namespace

bool HasRelationship(Database& db, const std::string& table, const std::string& name) {
  for (const Relationship& r : ReadRelationships(db)) {
    if (SameName(r.name, name) && SameName(r.table, table)) return true;
  }
  return false;
}

void CreateRelationshipInFile(Pager& pager, Database& db, Relationship r) {
  TableLayout referring = ReadUserTableForChange(pager, db, r.table);
  TableLayout referenced = ReadUserTableForChange(pager, db, r.referenced_table);
  const TableDef& from = *referring.def;
  const TableDef& to = *referenced.def;
  r.table = from.name;
  r.referenced_table = to.name;
  const bool same_table = referring.tdef_page == referenced.tdef_page;

  if (r.referenced_columns.empty()) {
    for (const IndexDef& index : to.indexes) {
      if (!index.primary) continue;
      for (const IndexColumn& c : index.columns) {
        r.referenced_columns.push_back(to.columns[static_cast<size_t>(c.column)].name);
      }
    }
    if (r.referenced_columns.empty()) throw errors::ReferencedTableWithoutPrimaryKey(to.name);
  }
  if (r.columns.empty() || r.columns.size() != r.referenced_columns.size()) {
    throw errors::RelationshipFieldsMismatch();
  }
  const std::vector<int> columns = Positions(from, r.columns);
  const std::vector<int> referenced_columns = Positions(to, r.referenced_columns);
  for (size_t i = 0; i < columns.size(); ++i) {
    if (from.columns[static_cast<size_t>(columns[i])].type !=
        to.columns[static_cast<size_t>(referenced_columns[i])].type) {
      throw errors::RelationshipFieldsMismatch();
    }
    if (std::count(columns.begin(), columns.end(), columns[i]) > 1) {
      throw errors::RelationshipFieldsMismatch();
    }
  }
  const int unique = UniqueIndexOver(to, referenced_columns);
  if (unique < 0) throw errors::NoUniqueIndexReferenced();
  if (HasRelationshipNamed(db, r.name)) throw errors::RelationshipExists(r.name);
  for (const IndexDef& index : from.indexes) {
    if (SameName(index.name, r.name)) throw errors::IndexNameTaken(from.name, r.name);
  }
  CheckExistingRows(db, from, columns, to, referenced_columns);
  if (UniqueIndexOver(from, columns) >= 0) r.flags |= relationship_flags::kOneToOne;

  // The referenced side's entry first: the referring side's entry will follow the referring
  // table's present indexes.
  IndexDef one;
  one.name = ReferencedEntryName(to);
  one.columns = to.indexes[static_cast<size_t>(unique)].columns;
  one.unique = true;
  one.foreign_key = true;
  IndexReference& one_ref = one.reference.emplace(ReferenceOf(r));
  one_ref.referenced_side = true;
  one_ref.related_index = static_cast<int>(from.indexes.size() + (same_table ? 1 : 0));
  one_ref.related_table_page = referring.tdef_page;
  const auto unique_real =
      static_cast<uint32_t>(referenced.real_index[static_cast<size_t>(unique)]);
  EditDefinition(pager, referenced.tdef_page, [&](std::vector<uint8_t>& definition) {
    definition = AddLogicalIndexToDefinition(definition, one, unique_real);
    return true;
  });

  IndexDef many;
  many.name = r.name;
  for (int c : columns) many.columns.push_back({c, true});
  many.foreign_key = true;
  IndexReference& many_ref = many.reference.emplace(ReferenceOf(r));
  many_ref.related_index = static_cast<int>(to.indexes.size());
  many_ref.related_table_page = referenced.tdef_page;
  TableLayout now = ReadUserTableForChange(pager, db, r.table);
  std::optional<size_t> shared;
  for (size_t i = 0; i < now.def->indexes.size() && !shared; ++i) {
    const IndexDef& index = now.def->indexes[i];
    bool same = index.columns.size() == many.columns.size();
    for (size_t k = 0; same && k < index.columns.size(); ++k) {
      same = index.columns[k].column == many.columns[k].column && index.columns[k].ascending;
    }
    if (same) shared = now.real_index[i];
  }
  if (shared) {
    EditDefinition(pager, now.tdef_page, [&](std::vector<uint8_t>& definition) {
      definition = AddLogicalIndexToDefinition(definition, many, static_cast<uint32_t>(*shared));
      return true;
    });
  } else {
    CreateIndexInFile(pager, db, r.table, many);
  }

  auto def = db.GetTableDef(kRelationshipsTable);
  for (std::vector<Value>& row : RelationshipRows(r, *def)) {
    db.InsertRow(def->name, std::move(row));
  }
}

void DropRelationshipFromFile(Pager& pager, Database& db, const std::string& table,
                              const std::string& name) {
  std::optional<Relationship> found;
  for (Relationship& r : ReadRelationships(db)) {
    if (SameName(r.name, name) && SameName(r.table, table)) found = std::move(r);
  }
  if (!found) throw errors::TableOrConstraintNotFound(name);
  TableLayout referring = ReadUserTableForChange(pager, db, found->table);
  TableLayout referenced = ReadUserTableForChange(pager, db, found->referenced_table);

  auto def = db.GetTableDef(kRelationshipsTable);
  const int name_at = FindColumn(*def, "szRelationship");
  std::vector<RowId> doomed;
  for (auto cursor = db.Scan(def->name); cursor->Valid(); cursor->Next()) {
    Value v = cursor->value(name_at);
    const auto* text = std::get_if<std::string>(&v);
    if (text && SameName(*text, found->name)) doomed.push_back(cursor->row_id());
  }
  for (RowId row : doomed) db.DeleteRow(def->name, row);

  // The referring side's entry names the referenced side's by number.
  std::optional<size_t> many;
  std::string one_name;
  const auto& from = referring.def->indexes;
  for (size_t i = 0; i < from.size() && !many; ++i) {
    const IndexDef& index = from[i];
    if (!index.foreign_key || !index.reference || index.reference->referenced_side ||
        index.reference->related_table_page != referenced.tdef_page ||
        !SameName(index.name, found->name)) {
      continue;
    }
    many = i;
    const auto other = static_cast<size_t>(index.reference->related_index);
    if (other < referenced.def->indexes.size()) {
      const IndexDef& one = referenced.def->indexes[other];
      if (one.foreign_key && one.reference && one.reference->referenced_side) one_name = one.name;
    }
  }
  if (!many) return;
  RemoveIndexFromFile(pager, referring, *many);
  RenumberReferencesTo(pager, db, referring.tdef_page, *many);
  if (one_name.empty()) return;
  TableLayout now = ReadUserTableForChange(pager, db, found->referenced_table);
  for (size_t i = 0; i < now.def->indexes.size(); ++i) {
    if (!SameName(now.def->indexes[i].name, one_name)) continue;
    RemoveIndexFromFile(pager, now, i);
    RenumberReferencesTo(pager, db, now.tdef_page, i);
    return;
  }
}

}  // namespace jet
