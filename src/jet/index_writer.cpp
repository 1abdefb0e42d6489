#include "jet/index_writer.h"

#include "jet/error.h"

namespace jet {

IndexWriter::IndexWriter(Pager& pager, PageAllocator& allocator, JetVersion version,
                         uint32_t root_page, std::vector<IndexKeyColumn> columns)
    : pager_(pager),
      allocator_(allocator),
      version_(version),
      root_page_(root_page),
      columns_(std::move(columns)) {}

void IndexWriter::Insert(const std::string&, RowId) {
  throw Error(err::kUnrecognizedFormat, "Indexschreiben noch nicht verfügbar.");
}

void IndexWriter::Remove(const std::string&, RowId) {
  throw Error(err::kUnrecognizedFormat, "Indexschreiben noch nicht verfügbar.");
}

bool IndexWriter::ContainsKey(const std::string&, std::optional<RowId>) {
  throw Error(err::kUnrecognizedFormat, "Indexschreiben noch nicht verfügbar.");
}

}  // namespace jet
