#include "jet/pager.h"

#include <gtest/gtest.h>

#include "jet/error.h"
#include "jet/memory_file.h"

namespace jet {
namespace {

constexpr size_t kPage = 4096;

std::vector<uint8_t> PagesFilledWith(std::initializer_list<uint8_t> fills) {
  std::vector<uint8_t> bytes;
  for (uint8_t fill : fills) bytes.insert(bytes.end(), kPage, fill);
  return bytes;
}

TEST(Pager, ChangesShowAtOnceAndReachTheFileOnlyOnCommitOrNeverOnRollback) {
  std::vector<uint8_t> bytes = PagesFilledWith({0, 1, 2});
  auto file = NewWritableMemoryFile(bytes);
  Pager pager(*file, file.get(), kPage, 0);
  for (bool commit : {false, true}) {
    pager.Begin();
    pager.Modify(1)[10] = 0x77;
    const uint32_t added = pager.Append();
    pager.Modify(added)[0] = 0x55;
    EXPECT_EQ(added, 3u);
    EXPECT_EQ(pager.page_count(), 4u);
    EXPECT_EQ(pager.Page(1)[10], 0x77);
    EXPECT_EQ(bytes, PagesFilledWith({0, 1, 2}));
    if (!commit) {
      pager.Rollback();
      EXPECT_EQ(pager.page_count(), 3u);
      EXPECT_EQ(pager.Page(1)[10], 1);
      EXPECT_THROW(pager.Page(3), Error);
      EXPECT_EQ(bytes, PagesFilledWith({0, 1, 2}));
    }
  }
  pager.Commit();
  EXPECT_EQ(bytes[kPage + 10], 0x77);
  ASSERT_EQ(bytes.size(), 4 * kPage);
  EXPECT_EQ(bytes[3 * kPage], 0x55);
  EXPECT_EQ(pager.Page(3)[0], 0x55);
}

TEST(Pager, EncryptedFilesAreWrittenEncryptedAndReadBackPlain) {
  std::vector<uint8_t> bytes = PagesFilledWith({0, 0});
  auto file = NewWritableMemoryFile(bytes);
  {
    Pager pager(*file, file.get(), kPage, 0x1234abcd);
    pager.Begin();
    pager.Modify(1)[5] = 42;
    pager.Commit();
  }
  EXPECT_NE(bytes[kPage + 5], 42);  // stored encrypted
  Pager reread(*file, nullptr, kPage, 0x1234abcd);
  EXPECT_EQ(reread.Page(1)[5], 42);
}

}  // namespace
}  // namespace jet
