#ifndef QUORLA_TESTS_SUPPORT_PAGE_WORKLOAD_H_
#define QUORLA_TESTS_SUPPORT_PAGE_WORKLOAD_H_

// A crash workload at page level on a synthetic file of `base_pages` pages. Transaction t stamps
// t into page 0, into the pages of a set chosen by t among the others, and into 1 to 3 pages it
// appends. A stamp fills the whole page, so a torn page shows. The file is whole when page 0
// holds some t, every other page holds the last transaction up to t that touched it, and the file
// has exactly the pages appended up to t.

#include <cstdint>
#include <span>
#include <string>

#include "jet/page_reader.h"
#include "support/crash_harness.h"

namespace testsupport {

inline constexpr size_t kWorkloadPageSize = 4096;

class PageWorkload : public CrashWorkload {
 public:
  explicit PageWorkload(uint32_t base_pages = 48, uint64_t max_transactions = UINT64_MAX)
      : base_pages_(base_pages), max_transactions_(max_transactions) {}

  void Prepare(const std::string& path) override;
  void Run(const std::string& path) override;
  std::string Verify(const std::string& path, uint64_t& committed) override;

  // Checks pages as a reader sees them (see above); "" when whole.
  std::string Check(jet::PageReader& pages, uint64_t& committed) const;

 private:
  uint32_t base_pages_;
  uint64_t max_transactions_;
};

void StampPage(std::span<uint8_t> page, uint32_t number, uint64_t t);
// The transaction stamped into the page, or UINT64_MAX when the page is not a whole stamp.
uint64_t StampOf(std::span<const uint8_t> page, uint32_t number);

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_PAGE_WORKLOAD_H_
