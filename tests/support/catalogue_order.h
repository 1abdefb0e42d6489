#ifndef QUORLA_TESTS_SUPPORT_CATALOGUE_ORDER_H_
#define QUORLA_TESTS_SUPPORT_CATALOGUE_ORDER_H_

// Table names as a catalogue's name index orders them: by their General sort key (its Access 97
// form for Jet 3 files). mdb-tables and mdb-reader list tables in the order the catalogue rows
// are stored; sorting their lists this way gives the order the engine lists them in.

#include <string>
#include <vector>

namespace testsupport {

std::vector<std::string> InCatalogueOrder(std::vector<std::string> names, bool jet3);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_CATALOGUE_ORDER_H_
