#include "jetsql/dml/write_sources.h"

#include <limits>

#include "error/errors.h"
#include "jetsql/errors.h"
#include "jetsql/row_address.h"
#include "jetsql/text_util.h"

namespace jetsql {
namespace {

std::string Fold(const std::string& s) {
  return U32ToUtf8(LowerText(Utf8ToU32(s)));
}

void Collect(const FromItem& item, Catalog& catalog, std::vector<WriteSource>* out) {
  switch (item.kind) {
    case FromItem::Kind::kTable: {
      if (!item.database.empty()) throw errors::OperationNotSupported("IN");
      WriteSource src;
      src.def = catalog.FindTable(item.table);
      if (!src.def) throw errors::UnknownTable(item.table);
      src.table = src.def->name;
      src.name = item.alias.empty() ? item.table : item.alias;
      out->push_back(std::move(src));
      return;
    }
    case FromItem::Kind::kDerived: {
      WriteSource src;
      src.name = item.alias;
      out->push_back(std::move(src));
      return;
    }
    case FromItem::Kind::kJoin:
      Collect(*item.left, catalog, out);
      Collect(*item.right, catalog, out);
      return;
  }
}

}  // namespace

bool SameFieldName(const std::string& a, const std::string& b) {
  return Fold(a) == Fold(b);
}

std::vector<WriteSource> CollectSources(const std::vector<std::unique_ptr<FromItem>>& from,
                                        Catalog& catalog) {
  std::vector<WriteSource> out;
  for (const auto& item : from) Collect(*item, catalog, &out);
  return out;
}

const WriteSource* FindSource(const std::vector<WriteSource>& sources, const std::string& name) {
  for (const auto& s : sources) {
    if (SameFieldName(s.name, name)) return &s;
  }
  return nullptr;
}

AddressCatalog::AddressCatalog(Catalog& inner, const std::set<std::string>& tables)
    : inner_(inner) {
  for (const auto& t : tables) folded_tables_.insert(Fold(t));
}

std::shared_ptr<const jet::TableDef> AddressCatalog::FindTable(const std::string& name) {
  auto def = inner_.FindTable(name);
  if (!def || !folded_tables_.count(Fold(def->name))) return def;
  auto& augmented = augmented_[Fold(def->name)];
  if (!augmented) {
    auto copy = std::make_shared<jet::TableDef>(*def);
    jet::ColumnDef address;
    address.name = kRowAddressColumn;
    address.type = jet::ColumnType::kDouble;  // exact for the 48 bits an address uses
    copy->columns.push_back(address);
    copy->row_count = std::numeric_limits<uint32_t>::max();
    augmented = std::move(copy);
  }
  return augmented;
}

std::unique_ptr<Expr> ColumnRef(const std::string& qualifier, const std::string& name) {
  auto e = std::make_unique<Expr>();
  e->kind = ExprKind::kColumn;
  e->qualifier = qualifier;
  e->name = name;
  return e;
}

Statement RowSelect(const Statement& original, std::unique_ptr<SelectQuery> select) {
  Statement st;
  st.kind = Statement::Kind::kQuery;
  st.parameters = original.parameters;
  st.text = original.text;
  st.query = std::make_unique<QueryExpr>();
  st.query->arms.push_back(std::move(select));
  return st;
}

}  // namespace jetsql
