#include "support/catalogue_order.h"

#include <algorithm>

#include "jet/general_sort.h"
#include "jet/general_sort97.h"

namespace testsupport {

std::vector<std::string> InCatalogueOrder(std::vector<std::string> names, bool jet3) {
  auto key = [jet3](const std::string& name) {
    return jet3 ? jet::General97SortKey(jet::Utf8ToUtf16(name)) : jet::GeneralSortKeyUtf8(name);
  };
  std::stable_sort(names.begin(), names.end(),
                   [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
  return names;
}

}  // namespace testsupport
