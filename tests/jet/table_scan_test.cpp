// Scanning and row lookup on the overflow samples: every row whose data moved to another page is
// returned once by the scan, and its old id (which indexes keep) leads to the same data.

#include "jet/table_scan.h"

#include <gtest/gtest.h>

#include "jet/catalog.h"
#include "jet/file.h"
#include "jet/header.h"
#include "jet/page_cache.h"
#include "jet/tdef_page.h"
#include "jet/usage_map.h"
#include "support/jet_samples.h"

namespace jet {
namespace {

TEST(TableScan, OverflowPointersLeadToTheRowsTheScanReturns) {
  if (quorla_test::JetSamplesDir().empty()) GTEST_SKIP() << "Jet sample files are not present";
  for (const char* name :
       {"/jet4/overflowTestV2000.mdb", "/jet4/overflowTestV2003.mdb", "/jet3/queryTestV1997.mdb"}) {
    SCOPED_TRACE(name);
    auto file = OpenFile(quorla_test::JetSamplesDir() + name);
    std::vector<uint8_t> start(header::kMinimumLength);
    file->Read(0, start);
    Header header;
    ASSERT_EQ(ParseHeader(start, header), HeaderVerdict::kJet);
    PageCache pages(*file, header.page_size, header.database_key);
    int pointers = 0;
    for (const CatalogTable& t : ReadCatalog(pages, header.version)) {
      auto layout = std::make_shared<TableLayout>(
          ReadTableLayout(pages, header.version, t.definition_page, t.entry.name));
      std::vector<std::vector<uint8_t>> scanned;
      for (auto c = OpenTableScan(pages, header.version, layout); c->Valid(); c->Next()) {
        scanned.push_back(ReadRowBytes(pages, header.version, *layout, c->row_id()));
      }
      for (uint32_t p : ReadUsageMap(pages, header.version, layout->used_pages)) {
        auto page = pages.Page(p);
        if (page[0] != page_type::kData) continue;
        uint16_t rows = RowCount(page, header.version);
        for (uint16_t r = 0; r < rows; ++r) {
          if (!LocateRow(pages.Page(p), header.version, r).overflow) continue;
          ++pointers;
          auto bytes = ReadRowBytes(pages, header.version, *layout, {p, r});
          EXPECT_EQ(std::count(scanned.begin(), scanned.end(), bytes), 1) << t.entry.name;
        }
      }
    }
    EXPECT_GT(pointers, 0);
  }
}

}  // namespace
}  // namespace jet
