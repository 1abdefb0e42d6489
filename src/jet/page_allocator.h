#ifndef QUORLA_JET_PAGE_ALLOCATOR_H_
#define QUORLA_JET_PAGE_ALLOCATOR_H_

// Hands out and takes back the pages of one table (its data, long-value and index pages), keeping
// the database's and the table's usage maps true. Used inside a pager transaction.

#include <cstdint>

namespace jet {

class PageAllocator {
 public:
  virtual ~PageAllocator() = default;
  // A page for the table, zeroed, already recorded as the table's; changeable through the pager.
  virtual uint32_t Allocate() = 0;
  // Gives a page of the table back (it no longer holds anything of the table).
  virtual void Free(uint32_t page) = 0;
};

}  // namespace jet

#endif  // QUORLA_JET_PAGE_ALLOCATOR_H_
