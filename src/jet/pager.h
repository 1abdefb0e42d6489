#ifndef QUORLA_JET_PAGER_H_
#define QUORLA_JET_PAGER_H_

// The pages of an open file for reading and changing. Reads go through a bounded page cache;
// changes are made inside a transaction: each page changed or appended in it is held in memory
// until Commit writes them all back (encrypted again when the file carries a database key), or
// Rollback forgets them. Page(n) always shows the transaction's current view.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "jet/file.h"
#include "jet/page_cache.h"
#include "jet/page_reader.h"

namespace jet {

class Pager : public PageReader {
 public:
  // `file` must outlive the pager. `writable` is the same file when it may be changed, else null.
  Pager(RandomAccessFile& file, WritableFile* writable, size_t page_size, uint32_t database_key,
        size_t cache_pages = PageCache::kDefaultCapacity);

  size_t page_size() const override { return page_size_; }
  uint32_t page_count() const override { return page_count_; }
  // As PageReader::Page. Pages changed in the open transaction stay valid until it ends.
  std::span<const uint8_t> Page(uint32_t number) override;

  bool writable() const { return writable_ != nullptr; }
  bool in_transaction() const { return in_transaction_; }

  // Starts a transaction. Throws Error 3027 when the file is read-only; nesting is an error.
  void Begin();
  // The bytes of page `number` to change in the open transaction; stay valid until it ends.
  std::span<uint8_t> Modify(uint32_t number);
  // Adds a zeroed page at the end of the file and returns its number; changeable as Modify.
  uint32_t Append();
  // Writes every changed page back and syncs; the transaction ends.
  void Commit();
  // Forgets every change of the open transaction (no-op without one).
  void Rollback();

 private:
  using PageBytes = std::vector<uint8_t>;
  void WriteBack(uint32_t number, const PageBytes& plain);

  WritableFile* writable_;
  size_t page_size_;
  uint32_t database_key_;
  PageCache cache_;
  uint32_t page_count_;
  uint32_t committed_page_count_;
  bool in_transaction_ = false;
  std::map<uint32_t, std::unique_ptr<PageBytes>> dirty_;  // ascending: written back in order
};

}  // namespace jet

#endif  // QUORLA_JET_PAGER_H_
