// The catalogue's linked tables: listed with their attributes, but their rows are not here.

#include "jet/catalog.h"

#include <gtest/gtest.h>

#include "jet/database_file.h"
#include "jet/header.h"
#include "jet/memory_file.h"
#include "jet/page_cache.h"
#include "jet/table_scan.h"
#include "jet/tdef_page.h"
#include "support/jet_samples.h"

namespace jet {
namespace {

// `bytes` with the catalogue row of `table` given object type `type` (6: linked Access table).
std::vector<uint8_t> WithObjectType(std::vector<uint8_t> bytes, const std::string& table,
                                    int16_t type) {
  auto file = NewMemoryFile(bytes);
  Header header;
  EXPECT_EQ(ParseHeader(std::span<const uint8_t>(bytes).first(header::kMinimumLength), header),
            HeaderVerdict::kJet);
  PageCache pages(*file, header.page_size, 0);
  auto layout = std::make_shared<TableLayout>(
      ReadTableLayout(pages, header.version, catalog::kObjectsDefinitionPage, "MSysObjects"));
  size_t name_column = 0, type_column = 0;
  for (size_t i = 0; i < layout->def->columns.size(); ++i) {
    if (layout->def->columns[i].name == "Name") name_column = i;
    if (layout->def->columns[i].name == "Type") type_column = i;
  }
  for (auto c = OpenTableScan(pages, header.version, layout); c->Valid(); c->Next()) {
    if (c->value(static_cast<int>(name_column)) != Value(table)) continue;
    RowId id = c->row_id();
    auto page = pages.Page(id.page);
    RowSlot slot = LocateRow(page, header.version, id.row);
    size_t at =
        id.page * header.page_size + slot.start + 2 + layout->places[type_column].fixed_offset;
    bytes[at] = static_cast<uint8_t>(type);
    bytes[at + 1] = static_cast<uint8_t>(type >> 8);
    return bytes;
  }
  ADD_FAILURE() << "no catalogue row for " << table;
  return bytes;
}

TEST(Catalog, LinkedTablesAreListedAndNeedTheirFile) {
  REQUIRE_SAMPLES();
  std::vector<uint8_t> bytes =
      testsupport::ReadWholeFile(testsupport::SamplePath("jet4/testV2000.mdb"));
  auto db = OpenDatabaseFile(NewMemoryFile(WithObjectType(bytes, "Table3", 6)), "linked.mdb");
  bool seen = false;
  for (const CatalogEntry& e : db->Tables()) {
    if (e.name != "Table3") {
      EXPECT_FALSE(e.linked) << e.name;
      continue;
    }
    seen = true;
    EXPECT_TRUE(e.linked);
    EXPECT_FALSE(e.system);
    EXPECT_EQ(e.attributes & catalog::kAttachedTable, catalog::kAttachedTable);
  }
  EXPECT_TRUE(seen);
  // The link names no file that exists here: reading it fails with Jet's error for a bad path.
  try {
    db->Scan("Table3");
    FAIL() << "a linked table without its file was scanned";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), errors::code::kInvalidPath);
  }
  EXPECT_THROW(db->GetTableDef("table3"), Error);
  EXPECT_THROW(db->ReadRow("Table3", {}), Error);
  EXPECT_NO_THROW(db->Scan("Table1"));
}

}  // namespace
}  // namespace jet
