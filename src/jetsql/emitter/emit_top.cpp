// TOP n [PERCENT]: the rows ranked by the sort order, kept while their rank is within n (or
// within n percent of all rows), so that ties with the last row stay in.

#include <cstdio>

#include "jetsql/emitter/emitter.h"

namespace jetsql {
namespace {

std::string OutputColumns(size_t n, const std::string& qualifier = "") {
  std::string r;
  for (size_t i = 0; i < n; ++i) r += (i ? ", " : "") + qualifier + "c" + std::to_string(i);
  return r;
}

// The key of order term i: the output column it equals under DISTINCT, else its own column k<i>.
std::string KeyColumn(const BoundSelect& s, size_t i) {
  return s.distinct ? "c" + std::to_string(s.order_by[i].output_column) : "k" + std::to_string(i);
}

// True when the row's key `r` sorts after the cut-off's key `x` (Null first when ascending, last
// when descending, as Access sorts); never Null.
std::string After(const std::string& r, const std::string& x, bool descending) {
  return descending
             ? "coalesce(" + r + " < " + x + ", " + r + " IS NULL AND " + x + " IS NOT NULL)"
             : "coalesce(" + r + " > " + x + ", " + r + " IS NOT NULL AND " + x + " IS NULL)";
}

// Rows sorted into a temporary table once; the n-th row's key found there with a bounded sort;
// the rows whose key is not after it kept, which keeps the ties with the n-th row.
std::string Cutoff(const BoundSelect& s, const std::string& columns, const std::string& tail,
                   long long n) {
  std::string keys, order, cut_keys, after;
  std::string equal_before;  // the keys before the current one are equal
  for (size_t i = 0; i < s.order_by.size(); ++i) {
    const BoundOrderTerm& o = s.order_by[i];
    const std::string key = KeyColumn(s, i);
    const std::string x = "x" + std::to_string(i);
    if (!s.distinct) {
      keys += ", " + Collated(EmitExpression(*o.value), o.value->type) + " AS " + key;
    }
    const std::string r = Collated("jet_rows." + key, o.value->type);
    order += (i ? ", " : "") + Collated(key, o.value->type) + (o.descending ? " DESC" : "");
    cut_keys += (i ? ", " : "") + key + " AS " + x;
    const std::string step = After(r, "jet_cut." + x, o.descending);
    after += (i ? " OR " : "") +
             (equal_before.empty() ? step : "(" + equal_before + " AND " + step + ")");
    equal_before += (i ? " AND " : "") + ("(" + r + " IS jet_cut." + x + ")");
  }
  return "WITH jet_rows AS MATERIALIZED (SELECT " + std::string(s.distinct ? "DISTINCT " : "") +
         columns + keys + tail + "), jet_cut AS MATERIALIZED (SELECT 1 AS found, " + cut_keys +
         " FROM jet_rows ORDER BY " + order + " LIMIT 1 OFFSET " + std::to_string(n - 1) +
         ") SELECT " + OutputColumns(s.columns.size(), "jet_rows.") +
         " FROM jet_rows LEFT JOIN jet_cut WHERE jet_cut.found IS NULL OR NOT (" + after +
         ") ORDER BY " + order;
}

}  // namespace

std::string EmitTop(const BoundSelect& s, const std::string& columns, const std::string& tail,
                    const std::string& order) {
  if (s.top_plan == BoundSelect::TopPlan::kLimit) {
    return "SELECT " + std::string(s.distinct ? "DISTINCT " : "") + columns + tail + " LIMIT " +
           std::to_string(static_cast<long long>(*s.top));
  }
  if (s.top_plan == BoundSelect::TopPlan::kCutoff) {
    return Cutoff(s, columns, tail, static_cast<long long>(*s.top));
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", *s.top);
  std::string count = s.top_percent ? ", count(*) OVER () AS jet_n" : "";
  std::string cond = s.top_percent ? "(jet_r - 1) * 100 < " + std::string(buf) + " * jet_n"
                                   : "jet_r <= " + std::string(buf);
  bool by_output = s.distinct;
  for (const auto& o : s.order_by) by_output &= o.output_column >= 0;
  std::string inner;
  if (s.distinct && (s.order_by.empty() || by_output)) {
    // DISTINCT first, then rank the distinct rows by the output columns.
    std::string rank = "row_number() OVER ()";
    if (!s.order_by.empty()) {
      rank = "rank() OVER (ORDER BY ";
      for (size_t i = 0; i < s.order_by.size(); ++i) {
        const BoundOrderTerm& o = s.order_by[i];
        rank += (i ? ", " : "") + Collated("c" + std::to_string(o.output_column), o.value->type) +
                (o.descending ? " DESC" : "");
      }
      rank += ")";
    }
    inner = "SELECT *, " + rank + " AS jet_r" + count + " FROM (SELECT DISTINCT " + columns + tail +
            ")";
  } else {
    std::string rank =
        s.order_by.empty() ? "row_number() OVER ()" : "rank() OVER (ORDER BY " + order + ")";
    inner = "SELECT " + std::string(s.distinct ? "DISTINCT " : "") + columns + ", " + rank +
            " AS jet_r" + count + tail;
  }
  return "SELECT " + OutputColumns(s.columns.size()) + " FROM (" + inner + ") WHERE " + cond +
         " ORDER BY jet_r";
}

}  // namespace jetsql
