#ifndef QUORLA_JET_TABLE_REWRITER_H_
#define QUORLA_JET_TABLE_REWRITER_H_

// Changing a Jet 4 table's columns together with its rows, inside an open statement: every row
// is read and mapped to its new values first (so a value that does not fit refuses the change
// before anything is written), then the rows are deleted, the definition is rewritten, and the
// mapped rows are stored again under the new definition. Row deletion frees the rows' long values
// and index entries; storing them again re-encodes each row and fills every index anew, so an
// index on a column whose type changed is rebuilt with keys of the new type.

#include <functional>
#include <vector>

#include "jet/database.h"
#include "jet/pager.h"
#include "jet/tdef_page.h"

namespace jet {

// A row's values under the old definition, as the new definition wants them.
using RowMapping = std::function<std::vector<Value>(std::vector<Value>)>;
// The new definition's bytes from the old ones (as ReadTableDefinitionBytes gives them).
using DefinitionEdit = std::function<std::vector<uint8_t>(const std::vector<uint8_t>&)>;

// `layout` is the table's current layout (ReadUserTableForChange). Throws whatever `map` throws
// before changing anything, and the errors of TableWriter::Insert when a mapped row breaks a rule
// of the new definition (the statement is then to be rolled back).
void RewriteTable(Pager& pager, Database& db, const TableLayout& layout, const DefinitionEdit& edit,
                  const RowMapping& map);

}  // namespace jet

#endif  // QUORLA_JET_TABLE_REWRITER_H_
