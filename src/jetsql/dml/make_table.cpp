#include "jetsql/dml/make_table.h"

#include "jet/name_fold.h"
#include "jetsql/open_for_changes.h"

namespace jetsql {
namespace {

constexpr uint16_t kTextCharacters = 255;

struct Source {
  std::string name;  // alias, or the table as written
  std::shared_ptr<const jet::TableDef> def;
};

void Collect(const FromItem& item, Catalog& catalog, std::vector<Source>& out) {
  switch (item.kind) {
    case FromItem::Kind::kTable: {
      Source s;
      s.name = item.alias.empty() ? item.table : item.alias;
      s.def = item.database.empty() ? catalog.FindTable(item.table)
                                    : catalog.FindExternalTable(item.database, item.table);
      if (s.def) out.push_back(std::move(s));
      return;
    }
    case FromItem::Kind::kDerived:
      return;
    case FromItem::Kind::kJoin:
      Collect(*item.left, catalog, out);
      Collect(*item.right, catalog, out);
      return;
  }
}

// The source column a field stands for: the column the select item names (by its qualifier
// where it has one), or for a "*" the first source column of the field's name.
const jet::ColumnDef* SourceColumn(const std::vector<Source>& sources, const std::string& qualifier,
                                   const std::string& name, jet::ColumnType type) {
  for (const Source& s : sources) {
    if (!qualifier.empty() && !jet::SameName(s.name, qualifier)) continue;
    for (const jet::ColumnDef& c : s.def->columns) {
      if (jet::SameName(c.name, name)) return c.type == type ? &c : nullptr;
    }
  }
  return nullptr;
}

jet::ColumnDef ColumnOfType(jet::ColumnType type) {
  jet::ColumnDef c;
  c.type = type;
  switch (type) {
    case jet::ColumnType::kText:
      c.size = kTextCharacters * 2;
      break;
    case jet::ColumnType::kBinary:
      c.size = kTextCharacters;
      break;
    case jet::ColumnType::kNumeric:
      c.precision = 28;
      c.scale = 10;
      break;
    default:
      break;
  }
  return c;
}

}  // namespace

std::string MakeTableTarget(const Statement& stmt) {
  if (!stmt.query) return "";
  for (const auto& arm : stmt.query->arms) {
    if (!arm->into.empty()) return arm->into;
  }
  return "";
}

std::shared_ptr<jet::Database> MakeTableDatabase(const std::shared_ptr<jet::Database>& db,
                                                 const std::string& file) {
  if (file.empty()) return db;
  // The database's own file named by path is the database itself: a second writer on it in the
  // same process would not see the first one's changes.
  const std::string other = db->OtherDatabasePath(file);
  if (other.empty()) return db;
  return OpenForChanges(other);
}

jet::NewTable PlanMakeTable(const std::string& table, const SelectQuery& query,
                            const std::vector<std::string>& names,
                            const std::vector<jet::ColumnType>& types, Catalog& catalog) {
  std::vector<Source> sources;
  for (const auto& item : query.from) Collect(*item, catalog, sources);
  // The select items line up with the fields unless a "*" stands for several.
  bool aligned = query.items.size() == names.size();
  for (const SelectItem& item : query.items) aligned &= item.expr->kind != ExprKind::kStar;

  jet::NewTable plan;
  plan.def.name = table;
  for (size_t i = 0; i < names.size(); ++i) {
    const jet::ColumnDef* source = nullptr;
    if (!aligned) {
      source = SourceColumn(sources, "", names[i], types[i]);
    } else if (query.items[i].expr->kind == ExprKind::kColumn) {
      const Expr& e = *query.items[i].expr;
      source = SourceColumn(sources, e.qualifier, e.name, types[i]);
    }
    jet::ColumnDef c = source ? *source : ColumnOfType(types[i]);
    c.name = names[i];
    c.nullable = true;
    c.autonumber = false;
    c.guid_autonumber = false;
    c.column_number = 0;
    c.fixed = false;
    plan.def.columns.push_back(std::move(c));
  }
  return plan;
}

}  // namespace jetsql
