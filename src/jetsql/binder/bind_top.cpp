// TOP n [PERCENT]: keeps the first n rows (or n percent of them) in the sort order, with ties.

#include "jetsql/binder/binder_impl.h"

namespace jetsql {

void Binder::BindTop(const SelectQuery& s, BoundSelect* out) {
  out->top = s.top;
  out->top_percent = s.top_percent;
}

}  // namespace jetsql
