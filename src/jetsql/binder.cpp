#include "jetsql/binder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>

#include "jet/name_fold.h"
#include "jetsql/errors.h"
#include "jetsql/expression_emitter.h"
#include "jetsql/signatures.h"

namespace jetsql {

std::shared_ptr<const jet::TableDef> DatabaseCatalog::FindTable(const std::string& name) {
  try {
    return db_->GetTableDef(name);
  } catch (const jet::Error& e) {
    if (e.number() == jet::err::kTableNotFound) return nullptr;
    throw;
  }
}

std::string QuoteIdentifier(const std::string& name) {
  std::string r = "\"";
  for (char c : name) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

std::string VirtualTableName(const std::string& table) {
  static const char* kHex = "0123456789abcdef";
  std::string r = "jt_";
  for (unsigned char c : table) {
    r += kHex[c >> 4];
    r += kHex[c & 15];
  }
  return r;
}

using CT = jet::ColumnType;

// Tables of at most this many rows are read once when they take part in a join.
constexpr uint32_t kMaterializeRowLimit = 5000;

// A FROM source as expressions see it.
struct Source {
  std::string name;       // what qualifies its columns: alias or table name
  std::string sql_alias;  // its alias in the SQLite statement
  std::vector<std::string> columns;
  std::vector<std::string> sql_columns;
  std::vector<CT> types;
};

struct Scope {
  Scope* outer = nullptr;
  std::vector<Source> sources;
  const std::vector<std::pair<std::string, BExpr>>* aliases = nullptr;
  std::set<std::string> group_sqls;
  const char* aggregate_ban = nullptr;  // clause name where aggregates are not allowed
};

namespace {

// One bound SELECT (or union): columns c0, c1, ... named and typed.
struct BoundQuery {
  std::string sql;
  std::vector<std::string> names;
  std::vector<CT> types;
  // for crosstab probes
  std::string from_sql;
  std::string where_sql;
};

struct PivotSpec {
  const Expr* transform = nullptr;
  const Expr* pivot = nullptr;
  std::vector<PivotValue> values;
  bool probe = false;
  std::string probe_sql;  // filled when probe
};

class Binder : public ExpressionContext {
 public:
  Binder(const Statement& stmt, Catalog& catalog) : stmt_(stmt), catalog_(catalog) {}

  BoundStatement Run(const std::vector<PivotValue>* pivot_values) {
    BoundStatement out;
    if (stmt_.kind == Statement::Kind::kAction || !stmt_.query) {
      out.returns_rows = false;
      return out;
    }
    for (const auto& p : stmt_.parameters) declared_.insert(jet::FoldName(p.name));
    BoundQuery q;
    if (stmt_.transform) {
      if (stmt_.query->arms.size() != 1) {
        throw errors::SyntaxInTransform();
      }
      PivotSpec spec;
      spec.transform = stmt_.transform.get();
      spec.pivot = stmt_.pivot.get();
      if (stmt_.pivot_in) {
        for (const auto& v : stmt_.pivot_values) {
          PivotValue pv;
          Scope empty;
          BExpr b = emitter_.Value(BindExpr(*v, empty));
          pv.literal_sql = b.sql;
          pv.name = v->kind == ExprKind::kNull                                       ? "<>"
                    : (v->kind == ExprKind::kString || v->kind == ExprKind::kNumber) ? v->text
                                                                                     : Span(*v);
          spec.values.push_back(std::move(pv));
        }
      } else if (pivot_values) {
        spec.values = *pivot_values;
      } else {
        spec.probe = true;
      }
      q = BindSelect(*stmt_.query->arms[0], nullptr, true, &spec);
      CheckParameters();
      out.tables = tables_;
      if (spec.probe) {
        out.pivot_probe_sql = spec.probe_sql;
        return out;
      }
    } else {
      q = BindQueryExpr(*stmt_.query, nullptr, true);
      CheckParameters();
      out.tables = tables_;
    }
    out.sql = q.sql;
    out.field_names = q.names;
    for (CT t : q.types) out.field_types.push_back(t == kNullType ? CT::kText : t);
    return out;
  }

  // ExpressionContext
  BExpr BindSubquery(const QueryExpr& q, Scope& scope, std::vector<CT>* types) override {
    BoundQuery b = BindQueryExpr(q, &scope, false);
    BExpr r;
    r.sql = "(" + b.sql + ")";
    *types = b.types;
    return r;
  }

 private:
  std::string Span(const Expr& e) const {
    if (e.end <= e.begin || e.end > stmt_.text.size()) return "";
    return stmt_.text.substr(e.begin, e.end - e.begin);
  }

  void CheckParameters() {
    size_t unknown = 0;
    for (const auto& p : unknown_) {
      if (!declared_.count(p)) ++unknown;
    }
    size_t count = declared_.size() + unknown;
    if (count > 0) throw errors::TooFewParameters(static_cast<int>(count));
  }

  std::string NewAlias() { return "s" + std::to_string(alias_counter_++); }

  // ---- FROM ----

  std::string BindFrom(const FromItem& item, Scope& scope, bool* small = nullptr) {
    if (small) *small = false;
    switch (item.kind) {
      case FromItem::Kind::kTable: {
        auto def = catalog_.FindTable(item.table);
        if (!def) throw errors::UnknownTable(item.table);
        std::string vtab = VirtualTableName(def->name);
        bool known = std::any_of(tables_.begin(), tables_.end(),
                                 [&](const VirtualTableUse& u) { return u.vtab == vtab; });
        if (!known) tables_.push_back({vtab, def->name});
        Source src;
        src.name = item.alias.empty() ? item.table : item.alias;
        src.sql_alias = NewAlias();
        for (const auto& c : def->columns) {
          src.columns.push_back(c.name);
          src.sql_columns.push_back(QuoteIdentifier(c.name));
          src.types.push_back(c.type);
        }
        CheckDuplicateSource(scope, src.name);
        std::string sql = "temp." + vtab + " AS " + src.sql_alias;
        if (in_join_ && def->row_count <= kMaterializeRowLimit) {
          // A small table in a join is read once into a temporary result, on which SQLite can
          // build an automatic index, instead of being scanned once per row of the other side.
          sql = "(SELECT * FROM temp." + vtab + " LIMIT -1) AS " + src.sql_alias;
          if (small) *small = true;
        }
        scope.sources.push_back(std::move(src));
        return sql;
      }
      case FromItem::Kind::kDerived: {
        BoundQuery q = BindQueryExpr(*item.query, scope.outer, false);
        Source src;
        src.name = item.alias.empty() ? "Abfrage" + std::to_string(alias_counter_) : item.alias;
        src.sql_alias = NewAlias();
        for (size_t i = 0; i < q.names.size(); ++i) {
          src.columns.push_back(q.names[i]);
          src.sql_columns.push_back("c" + std::to_string(i));
          src.types.push_back(q.types[i]);
        }
        CheckDuplicateSource(scope, src.name);
        std::string sql = "(" + q.sql + ") AS " + src.sql_alias;
        scope.sources.push_back(std::move(src));
        return sql;
      }
      case FromItem::Kind::kJoin: {
        bool left_small = false, right_small = false;
        std::string left = BindFrom(*item.left, scope, &left_small);
        std::string right = BindFrom(*item.right, scope, &right_small);
        const char* ban = scope.aggregate_ban;
        scope.aggregate_ban = "JOIN";
        BExpr on = emitter_.Predicate(BindExpr(*item.on, scope));
        scope.aggregate_ban = ban;
        std::string kind = item.join == JoinKind::kLeft    ? " LEFT JOIN "
                           : item.join == JoinKind::kRight ? " RIGHT JOIN "
                                                           : " JOIN ";
        if (item.join == JoinKind::kInner && left_small != right_small) {
          // The large table goes outside and is read once; SQLite indexes the small one.
          if (left_small) std::swap(left, right);
          kind = " CROSS JOIN ";
        }
        return "(" + left + kind + right + " ON " + on.sql + ")";
      }
    }
    throw errors::SyntaxInFrom();
  }

  void CheckDuplicateSource(const Scope& scope, const std::string& name) {
    for (const auto& s : scope.sources) {
      if (jet::SameName(s.name, name)) {
        throw errors::SyntaxInFrom();
      }
    }
  }

  // ---- expressions ----

 public:
  BExpr BindExpr(const Expr& e, Scope& scope) override {
    BExpr b = BindExprInner(e, scope);
    if (b.naked && !scope.group_sqls.empty() && scope.group_sqls.count(emitter_.Value(b).sql)) {
      b.naked = false;
    }
    return b;
  }

  BExpr ResolveColumn(const Expr& e, Scope& scope) override {
    for (Scope* s = &scope; s; s = s->outer) {
      const Source* found_src = nullptr;
      int found_col = -1;
      int matches = 0;
      bool qualifier_known = false;
      for (const auto& src : s->sources) {
        if (!e.qualifier.empty() && !jet::SameName(src.name, e.qualifier)) continue;
        qualifier_known = true;
        for (size_t i = 0; i < src.columns.size(); ++i) {
          if (jet::SameName(src.columns[i], e.name)) {
            if (!found_src || found_src != &src) ++matches;
            found_src = &src;
            found_col = static_cast<int>(i);
            break;
          }
        }
      }
      if (matches > 1) {
        throw errors::AmbiguousField(e.name);
      }
      if (found_src) {
        BExpr b;
        b.sql = found_src->sql_alias + "." + found_src->sql_columns[found_col];
        b.type = found_src->types[found_col];
        b.naked = s == &scope;
        b.naked_text = Span(e);
        b.column_name = found_src->columns[found_col];
        return b;
      }
      if (e.qualifier.empty() && s->aliases) {
        for (const auto& [alias, bound] : *s->aliases) {
          if (jet::SameName(alias, e.name)) return bound;
        }
      }
      if (qualifier_known) break;  // t.unknown: a parameter, not an outer column
    }
    unknown_.insert(jet::FoldName(e.qualifier.empty() ? e.name : e.qualifier + "." + e.name));
    BExpr b;
    b.sql = "NULL";
    b.type = kNullType;
    return b;
  }

  bool InAggregate() const override { return in_aggregate_; }
  void SetInAggregate(bool v) override { in_aggregate_ = v; }
  const std::string& StatementText() const override { return stmt_.text; }
  const std::string* PivotFilter() const override {
    return pivot_filter_.empty() ? nullptr : &pivot_filter_;
  }

 private:
  BExpr BindExprInner(const Expr& e, Scope& scope) { return emitter_.Emit(e, scope, *this); }

  // ---- SELECT ----

  BoundQuery BindQueryExpr(const QueryExpr& q, Scope* outer, bool top) {
    if (q.arms.size() == 1) {
      return BindSelect(*q.arms[0], outer, top, nullptr, &q.order_by);
    }
    std::vector<BoundQuery> arms;
    for (const auto& arm : q.arms) {
      BoundQuery b = BindSelect(*arm, outer, top && arms.empty(), nullptr);
      if (!arms.empty() && b.names.size() != arms[0].names.size()) {
        throw errors::UnionColumns();
      }
      if (arm->top) b.sql = "SELECT * FROM (" + b.sql + ")";
      arms.push_back(std::move(b));
    }
    BoundQuery out;
    out.names = arms[0].names;
    out.types = arms[0].types;
    for (size_t a = 1; a < arms.size(); ++a) {
      for (size_t i = 0; i < out.types.size(); ++i) {
        out.types[i] = emitter_.Unify(out.types[i], arms[a].types[i]);
      }
    }
    std::string sql;
    for (size_t a = 0; a < arms.size(); ++a) {
      if (a > 0) sql += q.union_all[a - 1] ? " UNION ALL " : " UNION ";
      bool cast = false;
      std::string cols;
      for (size_t i = 0; i < out.types.size(); ++i) {
        BExpr c;
        c.sql = "c" + std::to_string(i);
        c.type = arms[a].types[i];
        BExpr v = emitter_.Coerce(c, out.types[i]);
        if (v.sql != c.sql) cast = true;
        if (i > 0) cols += ", ";
        cols += emitter_.Collated(v.sql, out.types[i]) + " AS c" + std::to_string(i);
      }
      sql += cast ? "SELECT " + cols + " FROM (" + arms[a].sql + ")" : arms[a].sql;
    }
    if (!q.order_by.empty()) {
      std::string order;
      for (const auto& o : q.order_by) {
        int index = -1;
        if (o.expr->kind == ExprKind::kNumber && o.expr->integer && o.expr->number >= 1 &&
            o.expr->number <= static_cast<double>(out.names.size())) {
          index = static_cast<int>(o.expr->number) - 1;
        } else if (o.expr->kind == ExprKind::kColumn) {
          for (size_t i = 0; i < out.names.size(); ++i) {
            if (jet::SameName(out.names[i], o.expr->name)) {
              index = static_cast<int>(i);
              break;
            }
          }
        }
        if (index < 0) {
          throw errors::SyntaxInOrderBy();
        }
        if (!order.empty()) order += ", ";
        order += emitter_.Collated("c" + std::to_string(index), out.types[index]);
        if (o.descending) order += " DESC";
      }
      sql += " ORDER BY " + order;
    }
    out.sql = std::move(sql);
    return out;
  }

  BoundQuery BindSelect(const SelectQuery& s, Scope* outer, bool top_level, PivotSpec* pivot,
                        const std::vector<OrderItem>* extra_order = nullptr) {
    Scope scope;
    scope.outer = outer;
    BoundQuery out;
    std::string from;
    const bool saved_in_join = in_join_;
    in_join_ = s.from.size() > 1 || (!s.from.empty() && s.from[0]->kind == FromItem::Kind::kJoin);
    std::vector<std::string> large_items, small_items;
    for (const auto& f : s.from) {
      bool small = false;
      std::string item = BindFrom(*f, scope, &small);
      (small ? small_items : large_items).push_back(std::move(item));
    }
    // One large table among small ones goes outside (see the join case above).
    const char* separator = large_items.size() == 1 && !small_items.empty() ? " CROSS JOIN " : ", ";
    for (auto* list : {&large_items, &small_items}) {
      for (const auto& item : *list) {
        if (!from.empty()) from += separator;
        from += item;
      }
    }
    in_join_ = saved_in_join;
    std::string where;
    if (s.where) {
      scope.aggregate_ban = "WHERE";
      where = emitter_.Predicate(BindExpr(*s.where, scope)).sql;
      scope.aggregate_ban = nullptr;
    }
    std::vector<std::string> group_terms;
    if (!s.group_by.empty()) {
      scope.aggregate_ban = "GROUP BY";
      std::set<std::string> groups;
      for (const auto& g : s.group_by) {
        BExpr b = emitter_.Value(BindExpr(*g, scope));
        groups.insert(b.sql);
        group_terms.push_back(emitter_.Collated(b.sql, b.type));
      }
      scope.aggregate_ban = nullptr;
      scope.group_sqls = std::move(groups);
    }

    // Select list; aliases become visible to later items and to ORDER BY.
    std::vector<std::pair<std::string, BExpr>> aliases;
    std::vector<BExpr> items;
    std::vector<std::string> item_texts;
    bool any_aggregate = false;
    for (const auto& item : s.items) {
      if (item.expr->kind == ExprKind::kStar) {
        ExpandStar(*item.expr, scope, &items, &out.names, &item_texts);
        continue;
      }
      scope.aliases = &aliases;
      BExpr b = BindExpr(*item.expr, scope);
      scope.aliases = nullptr;
      any_aggregate |= b.aggregate;
      std::string name = item.alias;
      if (name.empty()) {
        name = item.expr->kind == ExprKind::kColumn && !b.column_name.empty()
                   ? b.column_name
                   : "Expr" + std::to_string(expr_counter_++);
      }
      if (!item.alias.empty()) aliases.emplace_back(item.alias, b);
      out.names.push_back(name);
      item_texts.push_back(Span(*item.expr));
      items.push_back(std::move(b));
    }
    DisambiguateStarNames(&out.names);

    std::string having;
    if (s.having) {
      BExpr h = BindExpr(*s.having, scope);
      any_aggregate |= h.aggregate;
      if (h.naked) ThrowNotInAggregate(h.naked_text);
      having = emitter_.Predicate(h).sql;
    }

    // Crosstab: one column per pivot value.
    std::vector<std::string> pivot_columns;
    if (pivot) {
      any_aggregate = true;
      scope.aliases = nullptr;
      BExpr pv = emitter_.Value(BindExpr(*pivot->pivot, scope));
      if (pivot->probe) {
        pivot->probe_sql = "SELECT v, jet_cast(v, " + std::to_string(static_cast<int>(pv.type)) +
                           ", 10) FROM (SELECT DISTINCT " + pv.sql + " AS v" +
                           (from.empty() ? "" : " FROM " + from) +
                           (where.empty() ? "" : " WHERE " + where) + ") ORDER BY " +
                           emitter_.Collated("v", pv.type);
        return out;
      }
      for (const auto& v : pivot->values) {
        BExpr lit;
        lit.sql = v.literal_sql;
        lit.type = v.literal_sql == "NULL" ? kNullType : pv.type;
        pivot_filter_ = v.literal_sql == "NULL"
                            ? "(" + pv.sql + " IS NULL)"
                            : "(" + pv.sql + " = " + v.literal_sql +
                                  (emitter_.IsTextType(pv.type) ? " COLLATE jet_general)" : ")");
        BExpr agg = BindExpr(*pivot->transform, scope);
        pivot_filter_.clear();
        if (!agg.aggregate) {
          throw errors::SyntaxInTransform();
        }
        items.push_back(agg);
        out.names.push_back(v.name);
        item_texts.push_back(Span(*pivot->transform));
      }
    }

    bool grouped = !s.group_by.empty() || any_aggregate;
    if (grouped) {
      for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].naked) ThrowNotInAggregate(items[i].naked_text);
      }
    }

    // ORDER BY: by position, by field, by alias or by expression.
    std::vector<std::string> order_terms;
    std::vector<std::string> output_order_terms;
    const std::vector<OrderItem>& order =
        s.order_by.empty() && extra_order ? *extra_order : s.order_by;
    for (const auto& o : order) {
      BExpr b;
      if (o.expr->kind == ExprKind::kNumber && o.expr->integer && o.expr->number >= 1 &&
          o.expr->number <= static_cast<double>(items.size())) {
        b = items[static_cast<size_t>(o.expr->number) - 1];
      } else {
        scope.aliases = &aliases;
        b = BindExpr(*o.expr, scope);
        scope.aliases = nullptr;
      }
      if (grouped && b.naked) ThrowNotInAggregate(b.naked_text);
      BExpr v = emitter_.Value(b);
      order_terms.push_back(emitter_.Collated(v.sql, v.type) + (o.descending ? " DESC" : ""));
      // The same term over the output columns, for TOP after DISTINCT.
      std::string output_term;
      for (size_t i = 0; i < items.size(); ++i) {
        if (emitter_.Value(items[i]).sql == v.sql) {
          output_term =
              emitter_.Collated("c" + std::to_string(i), v.type) + (o.descending ? " DESC" : "");
          break;
        }
      }
      output_order_terms.push_back(output_term);
    }

    std::string cols;
    for (size_t i = 0; i < items.size(); ++i) {
      BExpr v = emitter_.Value(items[i]);
      if (i > 0) cols += ", ";
      cols += emitter_.Collated(v.sql, v.type) + " AS c" + std::to_string(i);
      out.types.push_back(v.type);
    }
    if (items.empty()) throw errors::ReservedWordMisspelled();
    if (items.size() > kMaxFields) {
      throw errors::TooManyFields();
    }

    std::string distinct = s.quantifier == SelectQuery::Quantifier::kDistinct ? "DISTINCT " : "";
    std::string tail;
    if (!from.empty()) tail += " FROM " + from;
    if (!where.empty()) tail += " WHERE " + where;
    if (!group_terms.empty()) {
      tail += " GROUP BY ";
      for (size_t i = 0; i < group_terms.size(); ++i) tail += (i ? ", " : "") + group_terms[i];
    }
    if (!having.empty()) tail += " HAVING " + having;
    std::string order_sql;
    for (size_t i = 0; i < order_terms.size(); ++i) order_sql += (i ? ", " : "") + order_terms[i];

    if (s.top) {
      // TOP keeps ties: rank the rows by the sort order and keep those ranked within n (or
      // within n percent of all rows).
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.17g", *s.top);
      std::string count = s.top_percent ? ", count(*) OVER () AS jet_n" : "";
      std::string cond = s.top_percent ? "(jet_r - 1) * 100 < " + std::string(buf) + " * jet_n"
                                       : "jet_r <= " + std::string(buf);
      bool by_output =
          !distinct.empty() && std::none_of(output_order_terms.begin(), output_order_terms.end(),
                                            [](const std::string& t) { return t.empty(); });
      std::string inner;
      if (!distinct.empty() && (order_terms.empty() || by_output)) {
        // DISTINCT first, then rank the distinct rows.
        std::string rank = "row_number() OVER ()";
        if (!order_terms.empty()) {
          rank = "rank() OVER (ORDER BY ";
          for (size_t i = 0; i < output_order_terms.size(); ++i) {
            rank += (i ? ", " : "") + output_order_terms[i];
          }
          rank += ")";
        }
        inner = "SELECT *, " + rank + " AS jet_r" + count + " FROM (SELECT DISTINCT " + cols +
                tail + ")";
      } else {
        std::string rank = order_terms.empty() ? "row_number() OVER ()"
                                               : "rank() OVER (ORDER BY " + order_sql + ")";
        inner = "SELECT " + distinct + cols + ", " + rank + " AS jet_r" + count + tail;
      }
      out.sql = "SELECT " + OutputColumns(items.size()) + " FROM (" + inner + ") WHERE " + cond +
                " ORDER BY jet_r";
    } else {
      out.sql = "SELECT " + distinct + cols + tail;
      if (!order_sql.empty()) out.sql += " ORDER BY " + order_sql;
    }
    (void)top_level;
    out.from_sql = from;
    out.where_sql = where;
    return out;
  }

  static std::string OutputColumns(size_t n) {
    std::string r;
    for (size_t i = 0; i < n; ++i) r += (i ? ", c" : "c") + std::to_string(i);
    return r;
  }

  void ExpandStar(const Expr& e, Scope& scope, std::vector<BExpr>* items,
                  std::vector<std::string>* names, std::vector<std::string>* texts) {
    bool any = false;
    for (const auto& src : scope.sources) {
      if (!e.qualifier.empty() && !jet::SameName(src.name, e.qualifier)) continue;
      any = true;
      for (size_t i = 0; i < src.columns.size(); ++i) {
        BExpr b;
        b.sql = src.sql_alias + "." + src.sql_columns[i];
        b.type = src.types[i];
        b.naked = true;
        b.naked_text = src.name + "." + src.columns[i];
        b.column_name = src.columns[i];
        items->push_back(b);
        names->push_back(src.columns[i]);
        star_qualified_.push_back(src.name + "." + src.columns[i]);
        star_index_.push_back(names->size() - 1);
        texts->push_back(b.naked_text);
      }
    }
    if (!any) {
      if (scope.sources.empty()) {
        throw errors::NoInputTables();
      }
      throw errors::UnknownTable(e.qualifier);
    }
  }

  // Fields from * that share a name with another field are named "table.field", as Access does.
  void DisambiguateStarNames(std::vector<std::string>* names) {
    const std::vector<std::string> original = *names;
    for (size_t k = 0; k < star_index_.size(); ++k) {
      size_t i = star_index_[k];
      for (size_t j = 0; j < original.size(); ++j) {
        if (j != i && jet::SameName(original[j], original[i])) {
          (*names)[i] = star_qualified_[k];
          break;
        }
      }
    }
    star_index_.clear();
    star_qualified_.clear();
  }

  [[noreturn]] void ThrowNotInAggregate(const std::string& text) {
    throw errors::NotPartOfAggregate(text);
  }

  const Statement& stmt_;
  Catalog& catalog_;
  ExpressionEmitter emitter_;
  std::vector<VirtualTableUse> tables_;
  std::set<std::string> unknown_;
  std::set<std::string> declared_;
  int alias_counter_ = 0;
  int expr_counter_ = 1000;
  bool in_aggregate_ = false;
  bool in_join_ = false;
  std::string pivot_filter_;
  std::vector<std::string> star_qualified_;
  std::vector<size_t> star_index_;
};

}  // namespace

BoundStatement Bind(const Statement& stmt, Catalog& catalog,
                    const std::vector<PivotValue>* pivot_values) {
  Binder binder(stmt, catalog);
  return binder.Run(pivot_values);
}

}  // namespace jetsql

namespace jetsql {
const char* AggregateBan(const Scope& scope) {
  return scope.aggregate_ban;
}
}  // namespace jetsql
