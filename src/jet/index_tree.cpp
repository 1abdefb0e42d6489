#include "jet/index_tree.h"

namespace jet {

std::unique_ptr<IndexCursor> OpenIndexTree(PageReader&, JetVersion, uint32_t,
                                           std::vector<IndexKeyColumn>) {
  throw Error(err::kUnrecognizedFormat, "Indizes können noch nicht gelesen werden.");
}

}  // namespace jet
