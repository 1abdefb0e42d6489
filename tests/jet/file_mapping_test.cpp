// Reading a file in place through a mapping of it, when another program cuts the file short.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "jet/env.h"
#include "jet/error.h"
#include "jet/file.h"
#include "support/error_of.h"
#include "support/temp_dir.h"

namespace {

TEST(FileMapping, AFileCutShortUnderTheMappingGivesADiskErrorNotACrash) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer keeps SIGBUS to itself";
#endif
  testsupport::TempDir dir;
  const std::string path = dir.File("cut.bin");
  std::ofstream(path, std::ios::binary) << std::string(64 * 1024, 'x');
  std::unique_ptr<jet::RandomAccessFile> file = jet::Env::Default().OpenReadable(path);
  std::span<const uint8_t> head = file->Mapped(0, 4096);
  ASSERT_FALSE(head.empty());
  EXPECT_EQ(head[0], 'x');

  ASSERT_EQ(::truncate(path.c_str(), 0), 0);
  std::span<const uint8_t> gone = file->Mapped(32 * 1024, 4096);
  ASSERT_FALSE(gone.empty());
  EXPECT_EQ(static_cast<volatile const uint8_t&>(gone[100]), 0);  // a page of zeros, not SIGBUS
  EXPECT_EQ(testsupport::ErrorOf([&] { (void)file->Mapped(0, 4096); }), 3043);

  // Whole again: a new mapping reads the file as it now is.
  std::ofstream(path, std::ios::binary) << std::string(8192, 'y');
  std::span<const uint8_t> again = file->Mapped(4096, 4096);
  ASSERT_FALSE(again.empty());
  EXPECT_EQ(again[0], 'y');
}

}  // namespace
