#include "jet/pager.h"

#include <algorithm>
#include <array>

#include "jet/error.h"
#include "jet/format_error.h"
#include "jet/rc4.h"

namespace jet {
namespace {

void ApplyPageKey(uint32_t database_key, uint32_t number, std::span<uint8_t> bytes) {
  uint32_t k = database_key ^ number;
  const std::array<uint8_t, 4> key = {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8),
                                      static_cast<uint8_t>(k >> 16), static_cast<uint8_t>(k >> 24)};
  Rc4Apply(key, bytes);
}

}  // namespace

Pager::Pager(RandomAccessFile& file, WritableFile* writable, size_t page_size,
             uint32_t database_key, size_t cache_pages, SharedFile* shared)
    : file_(file),
      writable_(writable),
      shared_(shared),
      page_size_(page_size),
      database_key_(database_key),
      cache_(file, page_size, database_key, cache_pages),
      page_count_(cache_.page_count()),
      committed_page_count_(page_count_) {
  MeasureWholePages();
}

std::span<const uint8_t> Pager::Page(uint32_t number) {
  if (!dirty_.empty()) {
    auto found = dirty_.find(number);
    if (found != dirty_.end()) return *found->second;
  }
  if (number >= committed_page_count_) ThrowCorrupt("page past end of file");
  return cache_.Page(number);
}

std::span<const uint8_t> Pager::PageInPlace(uint32_t number) {
  // Only a lock keeps other processes from cutting the file short under the mapping.
  const bool locked = shared_ != nullptr && (in_transaction_ || read_depth_ > 0);
  if (!locked || number >= whole_pages_ || (number != 0 && database_key_ != 0)) {
    return Page(number);
  }
  if (!dirty_.empty()) {
    auto found = dirty_.find(number);
    if (found != dirty_.end()) return *found->second;
  }
  std::span<const uint8_t> bytes =
      file_.Mapped(static_cast<uint64_t>(number) * page_size_, page_size_);
  return bytes.empty() ? cache_.Page(number) : bytes;
}

void Pager::MeasureWholePages() {
  whole_pages_ =
      static_cast<uint32_t>(std::min<uint64_t>(file_.Size() / page_size_, committed_page_count_));
}

void Pager::Begin() {
  if (writable_ == nullptr) {
    throw errors::ReadOnly();
  }
  if (in_transaction_) throw errors::Internal("Interner Fehler: Transaktion läuft bereits.");
  if (shared_ != nullptr && shared_->LockWriter()) DropCache();
  in_transaction_ = true;
}

void Pager::BeginRead() {
  if (read_depth_++ > 0 || in_transaction_ || shared_ == nullptr) return;
  try {
    if (shared_->LockShared()) DropCache();
  } catch (...) {
    --read_depth_;
    throw;
  }
}

void Pager::EndRead() {
  if (read_depth_ == 0) return;
  if (--read_depth_ == 0 && !in_transaction_ && shared_ != nullptr) shared_->UnlockShared();
}

void Pager::DropCache() {
  cache_.Clear();
  uint64_t pages = (file_.Size() + page_size_ - 1) / page_size_;
  page_count_ = committed_page_count_ =
      static_cast<uint32_t>(std::min<uint64_t>(pages, UINT32_MAX));
  cache_.SetPageCount(page_count_);
  MeasureWholePages();
  ++changes_seen_;
  versions_.clear();
  base_version_ = ++last_version_;
}

std::span<uint8_t> Pager::Modify(uint32_t number) {
  if (!in_transaction_) throw errors::Internal("Interner Fehler: keine Transaktion.");
  versions_[number] = ++last_version_;
  auto found = dirty_.find(number);
  if (found != dirty_.end()) return *found->second;
  std::span<const uint8_t> current = Page(number);
  auto copy = std::make_unique<PageBytes>(current.begin(), current.end());
  std::span<uint8_t> out = *copy;
  dirty_.emplace(number, std::move(copy));
  return out;
}

uint32_t Pager::Append() {
  if (!in_transaction_) throw errors::Internal("Interner Fehler: keine Transaktion.");
  uint32_t number = page_count_++;
  versions_[number] = ++last_version_;
  auto page = std::make_unique<PageBytes>(page_size_, 0);
  dirty_.emplace(number, std::move(page));
  return number;
}

void Pager::WriteBack(uint32_t number, const PageBytes& plain) {
  if (number == 0 || database_key_ == 0) {
    writable_->Write(static_cast<uint64_t>(number) * page_size_, plain);
    return;
  }
  PageBytes sealed = plain;
  ApplyPageKey(database_key_, number, sealed);
  writable_->Write(static_cast<uint64_t>(number) * page_size_, sealed);
}

void Pager::Commit() {
  if (!in_transaction_) return;
  if (dirty_.empty()) {
    EndTransaction();
    return;
  }
  // Written back in ascending order.
  std::vector<uint32_t> order;
  order.reserve(dirty_.size());
  for (const auto& entry : dirty_) order.push_back(entry.first);
  std::sort(order.begin(), order.end());
  if (shared_ != nullptr) {
    std::vector<uint32_t> overwritten;
    for (uint32_t number : order) {
      if (number < committed_page_count_) overwritten.push_back(number);
    }
    try {
      shared_->BeginCommit(page_size_, overwritten, writable_->Size());
    } catch (...) {
      Rollback();
      throw;
    }
  }
  try {
    for (uint32_t number : order) WriteBack(number, *dirty_.at(number));
    writable_->Sync();
    if (shared_ != nullptr) shared_->EndCommit();
  } catch (...) {
    if (shared_ != nullptr) shared_->AbortCommit();
    Rollback();
    throw;
  }
  for (const auto& [number, bytes] : dirty_) cache_.Forget(number);
  committed_page_count_ = page_count_;
  cache_.SetPageCount(page_count_);
  MeasureWholePages();
  EndTransaction();
}

void Pager::Rollback() {
  if (!in_transaction_) return;
  page_count_ = committed_page_count_;
  for (const auto& entry : dirty_) versions_[entry.first] = ++last_version_;
  EndTransaction();
}

void Pager::EndTransaction() {
  dirty_.clear();
  in_transaction_ = false;
  if (shared_ == nullptr) return;
  shared_->UnlockWriter();
  if (read_depth_ > 0) {
    // A read statement around the transaction goes on under the shared lock again.
    try {
      if (shared_->LockShared()) DropCache();
    } catch (const Error&) {
    }
  }
}

}  // namespace jet
