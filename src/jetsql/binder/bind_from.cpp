// FROM: tables, derived tables and joins become numbered sources that names resolve to.

#include <algorithm>

#include "error/errors.h"
#include "jetsql/binder/bind_types.h"
#include "jetsql/binder/binder_impl.h"
#include "jetsql/errors.h"

namespace jetsql {
namespace {

// Tables of at most this many rows are read once when they take part in a join.
constexpr uint32_t kMaterializeRowLimit = 5000;

}  // namespace

void Binder::BindFrom(const SelectQuery& s, Scope& scope, BoundSelect* out) {
  const bool saved_in_join = in_join_;
  in_join_ = s.from.size() > 1 || (!s.from.empty() && s.from[0]->kind == FromItem::Kind::kJoin);
  std::vector<std::unique_ptr<BoundTableRef>> large, small;
  for (const auto& f : s.from) {
    bool is_small = false;
    auto ref = BindTableRef(*f, scope, &is_small);
    (is_small ? small : large).push_back(std::move(ref));
  }
  // One large table among small ones goes outside (see the join case below).
  out->from_cross = large.size() == 1 && !small.empty();
  for (auto* list : {&large, &small}) {
    for (auto& ref : *list) out->from.push_back(std::move(ref));
  }
  in_join_ = saved_in_join;
}

std::unique_ptr<BoundTableRef> Binder::BindTableRef(const FromItem& item, Scope& scope,
                                                    bool* small) {
  *small = false;
  auto ref = std::make_unique<BoundTableRef>();
  switch (item.kind) {
    case FromItem::Kind::kTable: {
      auto def = item.database.empty() ? catalog_.FindTable(item.table)
                                       : catalog_.FindExternalTable(item.database, item.table);
      if (!def && item.database.empty()) return BindSavedQuery(item, scope);
      if (!def) throw errors::UnknownTable(item.table);
      std::string vtab = VirtualTableName(def->name, item.database);
      bool known = std::any_of(tables_.begin(), tables_.end(),
                               [&](const VirtualTableUse& u) { return u.vtab == vtab; });
      if (!known) tables_.push_back({vtab, def->name, item.database});
      Source src;
      src.name = item.alias.empty() ? item.table : item.alias;
      src.id = NewSourceId();
      for (const auto& c : def->columns) {
        src.columns.push_back(c.name);
        src.types.push_back(c.type);
      }
      CheckDuplicateSource(scope, src.name);
      ref->kind = BoundTableRef::Kind::kTable;
      ref->source = src.id;
      ref->vtab = vtab;
      // A small table in a join is read once into a temporary result, on which SQLite can
      // build an automatic index, instead of being scanned once per row of the other side.
      ref->read_once = in_join_ && def->row_count <= kMaterializeRowLimit;
      *small = ref->read_once;
      src.read_once = ref->read_once;
      scope.sources.push_back(std::move(src));
      return ref;
    }
    case FromItem::Kind::kDerived: {
      auto q = BindQueryExpr(*item.query, scope.outer);
      Source src;
      src.name = item.alias.empty() ? "Abfrage" + std::to_string(alias_counter_) : item.alias;
      src.id = NewSourceId();
      src.derived = true;
      src.columns = q->names;
      src.types = q->types;
      CheckDuplicateSource(scope, src.name);
      ref->kind = BoundTableRef::Kind::kDerived;
      ref->source = src.id;
      ref->query = std::move(q);
      scope.sources.push_back(std::move(src));
      return ref;
    }
    case FromItem::Kind::kJoin: {
      bool left_small = false, right_small = false;
      ref->kind = BoundTableRef::Kind::kJoin;
      ref->left = BindTableRef(*item.left, scope, &left_small);
      ref->right = BindTableRef(*item.right, scope, &right_small);
      {
        BanAggregates ban(scope, AggregateBan::kJoin);
        ref->on = AsCondition(BindExpr(*item.on, scope)).expr;
      }
      ref->join = item.join == JoinKind::kLeft    ? BoundTableRef::Join::kLeft
                  : item.join == JoinKind::kRight ? BoundTableRef::Join::kRight
                                                  : BoundTableRef::Join::kInner;
      if (item.join == JoinKind::kInner && left_small != right_small) {
        // The large table goes outside and is read once; SQLite indexes the small one.
        if (left_small) std::swap(ref->left, ref->right);
        ref->join = BoundTableRef::Join::kCross;
      }
      return ref;
    }
  }
  throw errors::SyntaxInFrom();
}

void Binder::CheckDuplicateSource(const Scope& scope, const std::string& name) {
  for (const auto& s : scope.sources) {
    if (SameName(s.name, name)) {
      throw errors::SyntaxInFrom();
    }
  }
}

}  // namespace jetsql
