#ifndef QUORLA_QUERY_PAGE_BLOCK_H_
#define QUORLA_QUERY_PAGE_BLOCK_H_

#include <cstddef>

namespace query {

// A block of zeroed memory mapped from the system for one owner and unmapped when the owner
// lets it go, so that its pages go straight back to the system instead of staying with the
// program's heap. Throws std::bad_alloc when the system has no memory to give.
class PageBlock {
 public:
  PageBlock() = default;
  explicit PageBlock(size_t size);
  ~PageBlock();
  PageBlock(PageBlock&& other) noexcept;
  PageBlock& operator=(PageBlock&& other) noexcept;
  PageBlock(const PageBlock&) = delete;
  PageBlock& operator=(const PageBlock&) = delete;

  std::byte* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void Release();

  std::byte* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace query

#endif  // QUORLA_QUERY_PAGE_BLOCK_H_
