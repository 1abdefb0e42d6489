#ifndef QUORLA_JET_PAGER_H_
#define QUORLA_JET_PAGER_H_

// The pages of an open file for reading and changing. Reads go through a bounded page cache;
// changes are made inside a transaction: each page changed or appended in it is held in memory
// until Commit writes them all back (encrypted again when the file carries a database key), or
// Rollback forgets them. Page(n) always shows the transaction's current view.
//
// Over a SharedFile the pager also locks: a transaction holds the writer lock from Begin to its
// end and commits through the rollback journal; BeginRead/EndRead bracket a read statement with
// the shared lock. Whenever a lock shows that another process committed, the cached pages are
// dropped and changes_seen() counts up, so that callers drop what they derived from pages.
// Without a SharedFile (files in memory) these do nothing.

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "jet/file.h"
#include "jet/page_cache.h"
#include "jet/page_reader.h"
#include "jet/shared_file.h"

namespace jet {

class Pager : public PageReader {
 public:
  // `file` must outlive the pager. `writable` is the same file when it may be changed, else null.
  // `shared`, when given, is the shared file both belong to and must outlive the pager too.
  Pager(RandomAccessFile& file, WritableFile* writable, size_t page_size, uint32_t database_key,
        size_t cache_pages = PageCache::kDefaultCapacity, SharedFile* shared = nullptr);
  // Over a shared file.
  Pager(SharedFile& shared, size_t page_size, uint32_t database_key,
        size_t cache_pages = PageCache::kDefaultCapacity)
      : Pager(shared.file(), shared.writable(), page_size, database_key, cache_pages, &shared) {}

  size_t page_size() const override { return page_size_; }
  uint32_t page_count() const override { return page_count_; }
  // As PageReader::Page. Pages changed in the open transaction stay valid until it ends.
  std::span<const uint8_t> Page(uint32_t number) override;
  // As Page, for reads that jump about the file (index walks, rows by id): inside a read
  // statement or transaction of a shared file that is mapped into memory, the bytes come
  // straight from the mapping, with no copy and no system call; they stay valid until the
  // statement ends. Elsewhere (encrypted pages, files in memory) as Page.
  std::span<const uint8_t> PageInPlace(uint32_t number);

  bool writable() const { return writable_ != nullptr; }
  bool in_transaction() const { return in_transaction_; }

  // A read statement: until the matching EndRead no other process commits, so every page read
  // belongs to one state of the file. Nests; inside a transaction they do nothing. Throws Error
  // 3218 when a commit of another process does not end in time.
  void BeginRead();
  void EndRead();
  // How many times a lock showed another process's commit.
  uint64_t changes_seen() const { return changes_seen_; }

  // Starts a transaction. Throws Error 3027 when the file is read-only, 3218 when another
  // process's transaction does not end in time; nesting is an error.
  void Begin();
  // The bytes of page `number` to change in the open transaction; stay valid until it ends.
  // Counts as a change of the page (see Version): write them before the page is read again.
  std::span<uint8_t> Modify(uint32_t number);
  // Adds a zeroed page at the end of the file and returns its number; changeable as Modify.
  uint32_t Append();
  // Writes every changed page back and syncs; the transaction ends. On failure the file keeps
  // its state before the transaction (restored from the journal), the changes are forgotten and
  // the error is thrown.
  void Commit();
  // Forgets every change of the open transaction (no-op without one).
  void Rollback();

  // A stamp of page `number`'s bytes as Page shows them: it changes whenever they may have
  // changed (Modify, Append, Rollback, a commit of another process) and never comes back, so
  // what was derived from a page stays right while the stamp it was derived at is current.
  uint64_t Version(uint32_t number) const {
    auto found = versions_.find(number);
    return found != versions_.end() ? found->second : base_version_;
  }

 private:
  using PageBytes = std::vector<uint8_t>;
  void WriteBack(uint32_t number, const PageBytes& plain);
  void EndTransaction();
  // Another process changed the file: forget every cached page and take its new size.
  void DropCache();
  // The pages wholly inside the file as it is now may be read from its mapping.
  void MeasureWholePages();

  RandomAccessFile& file_;
  WritableFile* writable_;
  SharedFile* shared_ = nullptr;
  size_t page_size_;
  uint32_t database_key_;
  PageCache cache_;
  uint32_t page_count_;
  uint32_t committed_page_count_;
  uint32_t whole_pages_ = 0;  // committed pages that end inside the file
  bool in_transaction_ = false;
  int read_depth_ = 0;
  uint64_t changes_seen_ = 0;
  std::unordered_map<uint32_t, std::unique_ptr<PageBytes>> dirty_;
  // Version stamps: the pages changed since the cache was last dropped have their own; the
  // others share the stamp of the last drop.
  uint64_t last_version_ = 0;
  uint64_t base_version_ = 0;
  std::unordered_map<uint32_t, uint64_t> versions_;
};

// A pager's pages as PageInPlace reads them, for the readers that jump about the file.
class InPlacePages : public PageReader {
 public:
  explicit InPlacePages(Pager& pager) : pager_(pager) {}
  size_t page_size() const override { return pager_.page_size(); }
  uint32_t page_count() const override { return pager_.page_count(); }
  std::span<const uint8_t> Page(uint32_t number) override { return pager_.PageInPlace(number); }

 private:
  Pager& pager_;
};

}  // namespace jet

#endif  // QUORLA_JET_PAGER_H_
