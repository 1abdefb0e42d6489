// TOP n [PERCENT]: the rows ranked by the sort order, kept while their rank is within n (or
// within n percent of all rows), so that ties with the last row stay in.

#include <cstdio>

#include "jetsql/emitter/emitter.h"

namespace jetsql {
namespace {

std::string OutputColumns(size_t n) {
  std::string r;
  for (size_t i = 0; i < n; ++i) r += (i ? ", c" : "c") + std::to_string(i);
  return r;
}

}  // namespace

std::string EmitTop(const BoundSelect& s, const std::string& columns, const std::string& tail,
                    const std::string& order) {
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
