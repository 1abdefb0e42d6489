#ifndef QUORLA_TESTS_SUPPORT_RAW_PAGE_FILE_H_
#define QUORLA_TESTS_SUPPORT_RAW_PAGE_FILE_H_

// Test-only page reader over a whole unencrypted Jet file held in memory, so that index code can
// be tested on real files without the engine's file layer.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/page_reader.h"

namespace testsupport {

class RawPageFile : public jet::PageReader {
 public:
  // Reads the file; the version comes from the header page. Throws std::runtime_error.
  explicit RawPageFile(const std::string& path);

  jet::JetVersion version() const { return version_; }
  size_t page_size() const override { return page_size_; }
  uint32_t page_count() const override { return static_cast<uint32_t>(bytes_.size() / page_size_); }
  std::span<const uint8_t> Page(uint32_t number) override;

 private:
  std::vector<uint8_t> bytes_;
  size_t page_size_ = 4096;
  jet::JetVersion version_ = jet::JetVersion::kJet4;
};

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_RAW_PAGE_FILE_H_
