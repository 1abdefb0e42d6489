// FROM: virtual tables, derived tables and joins, each source under its alias s<n>.

#include "jetsql/emitter/emitter.h"

namespace jetsql {
namespace {

std::string TableRef(const BoundTableRef& ref) {
  const std::string alias = " AS s" + std::to_string(ref.source);
  switch (ref.kind) {
    case BoundTableRef::Kind::kTable:
      return ref.read_once ? "(SELECT * FROM temp." + ref.vtab + " LIMIT -1)" + alias
                           : "temp." + ref.vtab + alias;
    case BoundTableRef::Kind::kDerived:
      return "(" + EmitQuery(*ref.query) + ")" + alias;
    case BoundTableRef::Kind::kJoin:
      break;
  }
  const char* kind = ref.join == BoundTableRef::Join::kLeft    ? " LEFT JOIN "
                     : ref.join == BoundTableRef::Join::kRight ? " RIGHT JOIN "
                     : ref.join == BoundTableRef::Join::kCross ? " CROSS JOIN "
                                                               : " JOIN ";
  return "(" + TableRef(*ref.left) + kind + TableRef(*ref.right) + " ON " +
         EmitExpression(*ref.on) + ")";
}

}  // namespace

std::string EmitFrom(const BoundSelect& s) {
  std::string from;
  for (const auto& ref : s.from) {
    if (!from.empty()) from += s.from_cross ? " CROSS JOIN " : ", ";
    from += TableRef(*ref);
  }
  return from;
}

}  // namespace jetsql
