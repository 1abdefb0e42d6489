#include "jet/file_mapping.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "jet/file.h"

namespace jet {
namespace {

constexpr size_t kBudgetChunks = FileMapping::kResidentBudget / FileMapping::kChunkLength;

// Another program may cut the file short under a mapping (a copy over it, a truncation). Touching
// a mapped page past the new end raises SIGBUS, which would kill the process. The handler below
// puts a page of zeros in place of the lost one, marks the mapping lost, and lets the read go on;
// the mapping's next use then fails with a disk error and the mapping is given up.
constexpr size_t kMaxGuarded = 64;

struct GuardedRange {
  std::atomic<uintptr_t> begin{0};
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> lost{false};
};

GuardedRange g_ranges[kMaxGuarded];
std::atomic<uintptr_t> g_page_size{4096};
struct sigaction g_previous;
std::once_flag g_installed;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(info->si_addr);
  for (GuardedRange& r : g_ranges) {
    const uintptr_t begin = r.begin.load();
    if (begin == 0 || at < begin || at >= r.end.load()) continue;
    const uintptr_t page = at & ~(g_page_size.load() - 1);
    void* zeros = ::mmap(reinterpret_cast<void*>(page), g_page_size.load(), PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      r.lost.store(true);
      return;
    }
  }
  // Not a mapping of ours: as it would have been without this handler.
  if (g_previous.sa_flags & SA_SIGINFO) {
    if (g_previous.sa_sigaction != nullptr) return g_previous.sa_sigaction(signal, info, context);
  } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
    return g_previous.sa_handler(signal);
  }
  ::sigaction(SIGBUS, &g_previous, nullptr);  // the faulting access repeats and ends the process
}

void InstallHandler() {
  std::call_once(g_installed, [] {
    g_page_size.store(static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE)));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous);
  });
}

// A free slot for [begin, begin + length), or kMaxGuarded when all are taken (then the file is
// not mapped).
size_t Guard(uint8_t* begin, uint64_t length) {
  for (size_t i = 0; i < kMaxGuarded; ++i) {
    uintptr_t expected = 0;
    const uintptr_t b = reinterpret_cast<uintptr_t>(begin);
    if (g_ranges[i].begin.compare_exchange_strong(expected, b)) {
      g_ranges[i].lost.store(false);
      g_ranges[i].end.store(b + length);
      return i;
    }
  }
  return kMaxGuarded;
}

void Unguard(size_t slot) {
  if (slot >= kMaxGuarded) return;
  g_ranges[slot].end.store(0);
  g_ranges[slot].begin.store(0);
}

}  // namespace

FileMapping::~FileMapping() {
  Unmap();
}

void FileMapping::Unmap() {
  if (base_ == nullptr) return;
  Unguard(slot_);
  ::munmap(base_, static_cast<size_t>(kReservedLength));
  base_ = nullptr;
  resident_.clear();
  touched_.clear();
  oldest_ = 0;
  last_chunk_ = UINT64_MAX;
}

std::span<const uint8_t> FileMapping::Bytes(uint64_t offset, size_t length) {
  if (length == 0 || offset >= kReservedLength || length > kReservedLength - offset) return {};
  if (base_ != nullptr && g_ranges[slot_].lost.load()) {
    Unmap();
    tried_ = false;  // the file may be whole again by the next statement
    throw IoFailure(EIO);
  }
  if (base_ == nullptr) {
    if (tried_) return {};
    tried_ = true;
    if constexpr (sizeof(size_t) < sizeof(uint64_t)) return {};  // no room to reserve
    InstallHandler();
    void* p = ::mmap(nullptr, static_cast<size_t>(kReservedLength), PROT_READ, MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) return {};
    slot_ = Guard(static_cast<uint8_t*>(p), kReservedLength);
    if (slot_ == kMaxGuarded) {
      ::munmap(p, static_cast<size_t>(kReservedLength));
      return {};
    }
    base_ = static_cast<uint8_t*>(p);
    resident_.assign(kReservedLength / kChunkLength, false);
    touched_.reserve(kBudgetChunks);
  }
  Touch(offset / kChunkLength, (offset + length - 1) / kChunkLength);
  return {base_ + offset, length};
}

void FileMapping::Touch(uint64_t first_chunk, uint64_t last_chunk) {
  for (uint64_t chunk = first_chunk; chunk <= last_chunk; ++chunk) {
    if (chunk == last_chunk_ || resident_[chunk]) {
      last_chunk_ = chunk;
      continue;
    }
    if (touched_.size() < kBudgetChunks) {
      touched_.push_back(static_cast<uint32_t>(chunk));
    } else {
      const uint32_t gone = touched_[oldest_];
      ::madvise(base_ + uint64_t{gone} * kChunkLength, static_cast<size_t>(kChunkLength),
                MADV_DONTNEED);
      resident_[gone] = false;
      touched_[oldest_] = static_cast<uint32_t>(chunk);
      oldest_ = (oldest_ + 1) % kBudgetChunks;
    }
    resident_[chunk] = true;
    last_chunk_ = chunk;
  }
}

}  // namespace jet
