#ifndef QUORLA_JET_PAGE_READER_H_
#define QUORLA_JET_PAGE_READER_H_

#include <cstddef>
#include <cstdint>
#include <span>

namespace jet {

// Read access to the pages of an open file (decrypted, through the page cache).
class PageReader {
 public:
  virtual ~PageReader() = default;
  virtual size_t page_size() const = 0;  // 2048 for Jet 3, 4096 for Jet 4
  virtual uint32_t page_count() const = 0;
  // The bytes of page `number`, valid until the next call to Page(). Throws Error 3343 when the
  // page lies past the end of the file.
  virtual std::span<const uint8_t> Page(uint32_t number) = 0;
};

}  // namespace jet

#endif  // QUORLA_JET_PAGE_READER_H_
