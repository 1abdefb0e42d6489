#include "jet/page_cache.h"

#include <algorithm>
#include <array>

#include "jet/format_error.h"
#include "jet/rc4.h"

namespace jet {

PageCache::PageCache(RandomAccessFile& file, size_t page_size, uint32_t database_key,
                     size_t capacity)
    : file_(file),
      page_size_(page_size),
      database_key_(database_key),
      capacity_(std::max<size_t>(capacity, 2)) {
  uint64_t pages = (file.Size() + page_size - 1) / page_size;
  page_count_ = static_cast<uint32_t>(std::min<uint64_t>(pages, UINT32_MAX));
  slots_.reserve(capacity_);
  where_.reserve(capacity_);
}

std::span<const uint8_t> PageCache::Page(uint32_t number) {
  if (number >= page_count_) ThrowCorrupt("page past end of file");
  // A scan asks for the page it read last once per row.
  if (newest_ != kNone && slots_[newest_].page == number) return slots_[newest_].bytes;
  auto found = where_.find(number);
  if (found != where_.end()) {
    size_t slot = found->second;
    if (slot != newest_) {
      Unlink(slot);
      PushNewest(slot);
    }
    return slots_[slot].bytes;
  }
  size_t slot = TakeSlot();
  try {
    Load(slots_[slot], number);
  } catch (...) {
    free_.push_back(slot);
    throw;
  }
  where_[number] = slot;
  PushNewest(slot);
  return slots_[slot].bytes;
}

void PageCache::Forget(uint32_t number) {
  auto found = where_.find(number);
  if (found == where_.end()) return;
  size_t slot = found->second;
  Unlink(slot);
  where_.erase(found);
  free_.push_back(slot);
}

void PageCache::Clear() {
  while (!where_.empty()) Forget(where_.begin()->first);
}

size_t PageCache::TakeSlot() {
  if (!free_.empty()) {
    size_t slot = free_.back();
    free_.pop_back();
    return slot;
  }
  if (slots_.size() < capacity_) {
    slots_.emplace_back();
    slots_.back().bytes.resize(page_size_);
    return slots_.size() - 1;
  }
  size_t victim = oldest_;
  Unlink(victim);
  where_.erase(slots_[victim].page);
  return victim;
}

void PageCache::Load(Slot& slot, uint32_t number) {
  slot.page = number;
  // A page cut short by the end of the file reads as zeros past the end.
  size_t got = file_.Read(static_cast<uint64_t>(number) * page_size_, slot.bytes);
  std::fill(slot.bytes.begin() + static_cast<std::ptrdiff_t>(got), slot.bytes.end(), 0);
  if (number != 0 && database_key_ != 0) {
    uint32_t k = database_key_ ^ number;
    const std::array<uint8_t, 4> key = {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8),
                                        static_cast<uint8_t>(k >> 16),
                                        static_cast<uint8_t>(k >> 24)};
    Rc4Apply(key, slot.bytes);
  }
}

void PageCache::Unlink(size_t slot) {
  Slot& s = slots_[slot];
  if (s.newer != kNone)
    slots_[s.newer].older = s.older;
  else
    newest_ = s.older;
  if (s.older != kNone)
    slots_[s.older].newer = s.newer;
  else
    oldest_ = s.newer;
  s.newer = s.older = kNone;
}

void PageCache::PushNewest(size_t slot) {
  Slot& s = slots_[slot];
  s.older = newest_;
  s.newer = kNone;
  if (newest_ != kNone) slots_[newest_].newer = slot;
  newest_ = slot;
  if (oldest_ == kNone) oldest_ = slot;
}

}  // namespace jet
