// The property records Access keeps in MSysObjects.LvProp: every one in the samples is read and
// written back byte for byte; removing a column's properties leaves the others; damage is refused.

#include "jet/property_maps.h"

#include <gtest/gtest.h>

#include "jet/catalog.h"
#include "jet/database.h"
#include "jet/name_fold.h"
#include "support/jet_samples.h"

namespace jet {
namespace {

using testsupport::SamplePath;

// Every non-empty LvProp of the file's catalogue, by object name.
std::vector<std::pair<std::string, Bytes>> StoredProperties(const std::string& file) {
  auto db = Database::Open(SamplePath(file));
  auto def = db->GetTableDef(catalog::kObjectsTable);
  int name = -1;
  int props = -1;
  for (size_t i = 0; i < def->columns.size(); ++i) {
    if (SameName(def->columns[i].name, "Name")) name = static_cast<int>(i);
    if (SameName(def->columns[i].name, "LvProp")) props = static_cast<int>(i);
  }
  std::vector<std::pair<std::string, Bytes>> out;
  for (auto c = db->Scan(catalog::kObjectsTable); c->Valid(); c->Next()) {
    Value v = c->value(props);
    if (const Bytes* b = std::get_if<Bytes>(&v); b && !b->empty()) {
      out.emplace_back(std::get<std::string>(c->value(name)), *b);
    }
  }
  return out;
}

TEST(PropertyMapsTest, AccessRecordsAreWrittenBackAsTheyWere) {
  REQUIRE_SAMPLES();
  size_t records = 0;
  for (const char* file : {"jet4/testV2003.mdb", "jet4/indexTestV2000.mdb", "jet4/adox_jet4.mdb",
                           "jet4/testRefGlobalV2000.mdb"}) {
    for (const auto& [object, bytes] : StoredProperties(file)) {
      std::optional<PropertyMaps> maps = ParsePropertyMaps(bytes);
      ASSERT_TRUE(maps) << file << " " << object;
      EXPECT_EQ(EncodePropertyMaps(*maps), bytes) << file << " " << object;
      ++records;
    }
  }
  EXPECT_GT(records, 10u);
}

// The Required property itself is read back by mdb-reader in tests/oracle/ddl_columns_oracle_test.
TEST(PropertyMapsTest, RemovedColumnsAndDamagedRecords) {
  PropertyMaps maps = NewPropertyMaps();
  SetColumnRequired(maps, "Spalte", true);
  SetColumnRequired(maps, "Andere", true);
  EXPECT_TRUE(RemoveColumnProperties(maps, "spalte"));
  EXPECT_FALSE(RemoveColumnProperties(maps, "Spalte"));
  Bytes good = EncodePropertyMaps(maps);
  ASSERT_TRUE(ParsePropertyMaps(good));
  EXPECT_FALSE(HasColumnProperties(*ParsePropertyMaps(good), "Spalte"));
  EXPECT_TRUE(HasColumnProperties(*ParsePropertyMaps(good), "Andere"));
  EXPECT_FALSE(ParsePropertyMaps(Bytes(good.begin(), good.end() - 1)));
  Bytes wrong_magic = good;
  wrong_magic[0] = 'K';
  EXPECT_FALSE(ParsePropertyMaps(wrong_magic));
  Bytes long_chunk = good;
  long_chunk[4] = 0xff;
  EXPECT_FALSE(ParsePropertyMaps(long_chunk));
}

}  // namespace
}  // namespace jet
