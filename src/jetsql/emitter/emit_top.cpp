// TOP n [PERCENT]: the first n rows (or n percent of them) in the sort order, with every row
// that ties with the last one. A whole n takes a bounded sort (Cutoff); otherwise the rows are
// ranked by the sort order and kept while their rank is within n or n percent of all rows.

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

// The first n rows by a bounded sort, plus those tied with the n-th: the sort keeps n + 1 rows;
// when the (n + 1)-th ties with the n-th, the rows of that key come from a second pass over the
// source instead (in place of the ones the sort kept), so every tie is in whatever its count.
// Without such a tie the second pass is never run: its single-row driver holds tied = 0.
std::string Cutoff(const BoundSelect& s, const std::string& columns, const std::string& tail,
                   long long n) {
  std::string keys, order, cut_keys, equal_cut, tied = "b.jet_r IS NOT NULL";
  for (size_t i = 0; i < s.order_by.size(); ++i) {
    const BoundOrderTerm& o = s.order_by[i];
    const std::string key = KeyColumn(s, i);
    const std::string x = "x" + std::to_string(i);
    if (!s.distinct) {
      keys += ", " + Collated(EmitExpression(*o.value), o.value->type) + " AS " + key;
    }
    order += (i ? ", " : "") + Collated(key, o.value->type) + (o.descending ? " DESC" : "");
    cut_keys += ", a." + key + " AS " + x;
    equal_cut += " AND " + Collated(key, o.value->type) + " IS jet_cut." + x;
    tied += " AND " + Collated("a." + key, o.value->type) + " IS b." + key;
  }
  const std::string source =
      "(SELECT " + std::string(s.distinct ? "DISTINCT " : "") + columns + keys + tail + ")";
  const std::string cols = OutputColumns(s.columns.size());
  std::string all_keys;  // the key columns a branch of the union passes on
  for (size_t i = 0; i < s.order_by.size(); ++i) {
    if (!s.distinct) all_keys += ", " + KeyColumn(s, i);
  }
  return "WITH jet_top AS MATERIALIZED (SELECT *, row_number() OVER (ORDER BY " + order +
         ") AS jet_r FROM (SELECT * FROM " + source + " ORDER BY " + order + " LIMIT " +
         std::to_string(n + 1) + ")), jet_cut AS MATERIALIZED (SELECT " + tied + " AS tied" +
         cut_keys +
         " FROM jet_top AS a LEFT JOIN jet_top AS b ON b.jet_r = " + std::to_string(n + 1) +
         " WHERE a.jet_r = " + std::to_string(n) + ") SELECT " + cols + " FROM (SELECT " + cols +
         all_keys + " FROM jet_top LEFT JOIN jet_cut WHERE jet_r <= " + std::to_string(n) +
         " AND NOT coalesce(jet_cut.tied" + equal_cut + ", 0) UNION ALL SELECT " + cols + all_keys +
         " FROM jet_cut CROSS JOIN " + source + " WHERE jet_cut.tied" + equal_cut + ") ORDER BY " +
         order;
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
