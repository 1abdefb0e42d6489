#include "support/page_workload.h"

#include <vector>

#include "jet/env.h"
#include "jet/pager.h"
#include "jet/shared_file.h"
#include "support/jet_samples.h"

namespace testsupport {
namespace {

uint8_t PatternByte(uint64_t t, uint32_t number, size_t i) {
  return static_cast<uint8_t>(t * 131 + number * 7 + i);
}

// Whether transaction `t` stamps page `page` (of the original ones, page 0 aside).
bool TransactionTouches(uint64_t t, uint32_t page) {
  uint64_t h = (t * 0x9E3779B97F4A7C15ull) ^ (uint64_t{page} * 0xC2B2AE3D27D4EB4Full);
  h ^= h >> 29;
  return h % 4 == 0;
}

// How many pages transaction `t` appends.
uint32_t PagesAppendedBy(uint64_t t) {
  return 1 + static_cast<uint32_t>(t % 3);
}

}  // namespace

void StampPage(std::span<uint8_t> page, uint32_t number, uint64_t t) {
  for (int i = 0; i < 8; ++i) page[i] = static_cast<uint8_t>(t >> (8 * i));
  for (size_t i = 8; i < page.size(); ++i) page[i] = PatternByte(t, number, i);
}

uint64_t StampOf(std::span<const uint8_t> page, uint32_t number) {
  uint64_t t = 0;
  for (int i = 7; i >= 0; --i) t = (t << 8) | page[i];
  for (size_t i = 8; i < page.size(); ++i) {
    if (page[i] != PatternByte(t, number, i)) return UINT64_MAX;
  }
  return t;
}

void PageWorkload::Prepare(const std::string& path) {
  std::vector<uint8_t> bytes(size_t{base_pages_} * kWorkloadPageSize);
  for (uint32_t p = 0; p < base_pages_; ++p) {
    StampPage(std::span(bytes).subspan(p * kWorkloadPageSize, kWorkloadPageSize), p, 0);
  }
  testsupport::WriteWholeFile(path, bytes);
}

void PageWorkload::Run(const std::string& path) {
  auto shared = jet::SharedFile::Open(jet::Env::Default(), path, true);
  jet::Pager pager(*shared, kWorkloadPageSize, 0);
  for (uint64_t done = 0; done < max_transactions_; ++done) {
    pager.Begin();
    uint64_t t = StampOf(pager.Page(0), 0) + 1;
    StampPage(pager.Modify(0), 0, t);
    for (uint32_t p = 1; p < base_pages_; ++p) {
      if (TransactionTouches(t, p)) StampPage(pager.Modify(p), p, t);
    }
    for (uint32_t i = 0; i < PagesAppendedBy(t); ++i) {
      uint32_t p = pager.Append();
      StampPage(pager.Modify(p), p, t);
    }
    pager.Commit();
  }
}

std::string PageWorkload::Check(jet::PageReader& pages, uint64_t& committed) const {
  if (pages.page_count() < base_pages_) return "file shorter than it began";
  uint64_t t = StampOf(pages.Page(0), 0);
  if (t == UINT64_MAX) return "page 0 torn";
  committed = t;
  for (uint32_t p = 1; p < base_pages_; ++p) {
    uint64_t expected = 0;
    for (uint64_t u = t; u > 0; --u) {
      if (TransactionTouches(u, p)) {
        expected = u;
        break;
      }
    }
    uint64_t got = StampOf(pages.Page(p), p);
    if (got != expected) {
      return "page " + std::to_string(p) + " holds " + std::to_string(got) + ", expected " +
             std::to_string(expected) + " (transaction " + std::to_string(t) + ")";
    }
  }
  uint32_t next = base_pages_;
  for (uint64_t u = 1; u <= t; ++u) {
    for (uint32_t i = 0; i < PagesAppendedBy(u); ++i, ++next) {
      if (next >= pages.page_count()) return "appended pages missing at " + std::to_string(next);
      uint64_t got = StampOf(pages.Page(next), next);
      if (got != u) {
        return "appended page " + std::to_string(next) + " holds " + std::to_string(got) +
               ", expected " + std::to_string(u);
      }
    }
  }
  if (pages.page_count() != next) {
    return std::to_string(pages.page_count()) + " pages, expected " + std::to_string(next);
  }
  return "";
}

std::string PageWorkload::Verify(const std::string& path, uint64_t& committed) {
  auto shared = jet::SharedFile::Open(jet::Env::Default(), path, false);
  if (jet::Env::Default().FileExists(path + "-journal")) return "journal left after opening";
  jet::Pager pager(*shared, kWorkloadPageSize, 0);
  pager.BeginRead();
  std::string problem = Check(pager, committed);
  pager.EndRead();
  if (problem.empty() && shared->file().Size() % kWorkloadPageSize != 0) {
    problem = "file size not a whole number of pages";
  }
  return problem;
}

}  // namespace testsupport
