// Damaged files: every way of breaking a sample ends in a numbered Error or in values, never in
// a crash, a hang or another exception. Run under the sanitizers to catch memory faults.

#include <gtest/gtest.h>

#include <cerrno>
#include <random>

#include "jet/database.h"
#include "jet/database_file.h"
#include "jet/file.h"
#include "jet/memory_file.h"
#include "support/error_of.h"
#include "support/jet_samples.h"
#include "support/temp_dir.h"

namespace jet {
namespace {

using testsupport::SamplePath;

struct Outcome {
  bool opened = false;
  int error = 0;  // 0: everything read
};

// Opens `bytes` and reads every definition, row and value; returns how far it got.
Outcome ReadEverything(std::vector<uint8_t> bytes) {
  Outcome outcome;
  try {
    auto db = OpenDatabaseFile(NewMemoryFile(std::move(bytes)), "kaputt.mdb", 8);
    outcome.opened = true;
    for (const CatalogEntry& e : db->Tables()) {
      try {
        auto def = db->GetTableDef(e.name);
        for (auto c = db->Scan(e.name); c->Valid(); c->Next()) {
          for (size_t i = 0; i < def->columns.size(); ++i) c->value(static_cast<int>(i));
        }
      } catch (const Error& err) {
        outcome.error = err.number();
      }
    }
  } catch (const Error& err) {
    outcome.error = err.number();
  }
  return outcome;
}

// No error, or one the reading of a damaged file may give.
bool IsReadingError(int number) {
  return number == 0 || number == err::kUnrecognizedFormat || number == err::kPasswordInvalid ||
         number == err::kItemNotFound;
}

std::vector<std::string> DamageSamples() {
  std::vector<std::string> files;
  for (const char* name :
       {"jet4/testV2000.mdb", "jet4/overflowTestV2003.mdb", "jet4/testUnicodeCompV2003.mdb",
        "jet4/delColTestV2000.mdb", "jet3/testV1997.mdb", "jet3/overflowTestV1997.mdb",
        "jet3/test2V1997.mdb"}) {
    files.push_back(SamplePath(name));
  }
  return files;
}

size_t PageSize(const std::vector<uint8_t>& bytes) {
  return bytes[0x14] == 0 ? 2048 : 4096;
}

class DamageTest : public testing::Test {
 protected:
  void SetUp() override { REQUIRE_SAMPLES(); }
};

TEST_F(DamageTest, TruncatedFilesAndZeroedPagesGiveNumberedErrors) {
  for (const std::string& file : DamageSamples()) {
    SCOPED_TRACE(file);
    std::vector<uint8_t> whole = testsupport::ReadWholeFile(file);
    size_t page = PageSize(whole);
    for (size_t cut : {size_t{0}, size_t{1}, size_t{0x20}, size_t{0x60}, page - 1, page,
                       2 * page + 17, 3 * page, whole.size() / 3, whole.size() / 2,
                       whole.size() - page, whole.size() - 1, whole.size()}) {
      Outcome o = ReadEverything({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)});
      if (cut == whole.size()) {  // the undamaged file reads completely
        EXPECT_TRUE(o.opened);
        EXPECT_EQ(o.error, 0);
      } else if (cut < 3 * page) {
        EXPECT_FALSE(o.opened) << cut;
        EXPECT_EQ(o.error, err::kUnrecognizedFormat) << cut;
      }
    }
    for (size_t p = 0; p * page < whole.size(); ++p) {
      std::vector<uint8_t> damaged = whole;
      std::fill_n(damaged.begin() + static_cast<std::ptrdiff_t>(p * page),
                  std::min(page, whole.size() - p * page), 0);
      Outcome o = ReadEverything(damaged);
      if (p == 0 || p == 2) {
        EXPECT_EQ(o.error, err::kUnrecognizedFormat) << "page " << p << " zeroed";
      }
    }
  }
}

TEST_F(DamageTest, FlippedAndRandomBytesNeverCrash) {
  std::mt19937 random(20261206);
  for (const std::string& file : DamageSamples()) {
    SCOPED_TRACE(file);
    std::vector<uint8_t> whole = testsupport::ReadWholeFile(file);
    size_t page = PageSize(whole);
    std::uniform_int_distribution<size_t> offset(page, whole.size() - 1);
    // Half the variants aim at the catalogue and the first table definitions.
    std::uniform_int_distribution<size_t> hot(2 * page, std::min(whole.size(), 8 * page) - 1);
    for (int variant = 0; variant < 150; ++variant) {
      std::vector<uint8_t> damaged = whole;
      for (int i = 1 + static_cast<int>(random() % 16); i > 0; --i) {
        damaged[variant % 2 ? hot(random) : offset(random)] = static_cast<uint8_t>(random());
      }
      Outcome o = ReadEverything(damaged);
      EXPECT_TRUE(IsReadingError(o.error)) << o.error;
    }
    // Random pages behind a valid header, page 2 made to look like a table definition so that
    // the reading gets past the first check.
    for (int variant = 0; variant < 20; ++variant) {
      std::vector<uint8_t> damaged(whole.begin(),
                                   whole.begin() + static_cast<std::ptrdiff_t>(page));
      damaged.resize(page * (3 + static_cast<size_t>(variant)));
      for (size_t i = page; i < damaged.size(); ++i) damaged[i] = static_cast<uint8_t>(random());
      damaged[2 * page] = 0x02;
      EXPECT_TRUE(IsReadingError(ReadEverything(damaged).error));
    }
  }
}

TEST_F(DamageTest, CyclesInPageChainsEndInAnError) {
  std::vector<uint8_t> whole = testsupport::ReadWholeFile(SamplePath("jet4/testV2000.mdb"));
  size_t page = PageSize(whole);
  // The catalogue's definition continues on itself.
  std::vector<uint8_t> damaged = whole;
  damaged[2 * page + 4] = 2;
  damaged[2 * page + 5] = damaged[2 * page + 6] = damaged[2 * page + 7] = 0;
  EXPECT_EQ(ReadEverything(damaged).error, err::kUnrecognizedFormat);
  // A page pointer far past the end.
  damaged = whole;
  damaged[2 * page + 4] = damaged[2 * page + 5] = damaged[2 * page + 6] = 0xff;
  EXPECT_EQ(ReadEverything(damaged).error, err::kUnrecognizedFormat);
}

TEST_F(DamageTest, ATruncatedCopyOnDiskNamesItsPathInThe3343) {
  std::vector<uint8_t> whole = testsupport::ReadWholeFile(SamplePath("jet4/testV2003.mdb"));
  testsupport::TempDir dir;
  std::string path = dir.File("abgeschnitten.mdb");
  testsupport::WriteWholeFile(path, std::vector<uint8_t>(whole.begin(), whole.begin() + 5000));
  std::string text;
  EXPECT_EQ(testsupport::ErrorOf([&] { Database::Open(path); }, &text), err::kUnrecognizedFormat);
  EXPECT_EQ(text, "Nicht erkanntes Datenbankformat '" + path + "'.");
}

// A sample whose reads fail with `error_number` from page `failing_page` on.
class FailingFile : public RandomAccessFile {
 public:
  FailingFile(std::vector<uint8_t> bytes, size_t failing_page, int error_number)
      : bytes_(std::move(bytes)), failing_page_(failing_page), errno_(error_number) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t Read(uint64_t offset, std::span<uint8_t> out) override {
    if (offset / PageSize(bytes_) >= failing_page_) throw IoFailure(errno_);
    size_t n =
        std::min<uint64_t>(out.size(), bytes_.size() - std::min<uint64_t>(offset, bytes_.size()));
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
    return n;
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t failing_page_;
  int errno_;
};

TEST_F(DamageTest, AFailingReadIsADiskErrorNotAnUnrecognisedFile) {
  std::vector<uint8_t> whole = testsupport::ReadWholeFile(SamplePath("jet4/testV2000.mdb"));
  for (auto [error_number, expected] :
       {std::pair{EIO, err::kDiskIo}, std::pair{ENOSPC, err::kDiskFull}}) {
    for (size_t page : {0, 2, 5}) {
      try {
        auto db = OpenDatabaseFile(std::make_unique<FailingFile>(whole, page, error_number),
                                   "platte.mdb", 8);
        for (const CatalogEntry& e : db->Tables()) {
          for (auto c = db->Scan(e.name); c->Valid(); c->Next()) {
          }
        }
        ADD_FAILURE() << "every read past page " << page << " fails, yet all was read";
      } catch (const Error& e) {
        EXPECT_EQ(e.number(), expected) << "page " << page << ": " << e.description();
      }
    }
  }
}

}  // namespace
}  // namespace jet
