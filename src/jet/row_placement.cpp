#include "jet/row_placement.h"

#include "jet/data_page_writer.h"

namespace jet {
namespace {

// Candidate pages looked at before a new page is taken.
constexpr size_t kCandidates = 8;
// A page with less room than this leaves the free-space map when a row does not fit it.
constexpr size_t kNearlyFull = 64;

bool OwnedBy(ByteSpan page, uint32_t owner) {
  return page[0] == page_type::kData && ReadU32(page, data_page::kOwnerOffset) == owner;
}

}  // namespace

RowPointer PlaceRow(Pager& pager, TablePageAllocator& allocator, uint32_t owner,
                    std::vector<uint8_t> bytes, uint16_t flags, uint32_t avoid) {
  // The highest pages listed, one more in case `avoid` is among them.
  std::vector<uint32_t> listed =
      allocator.free_space().LastPages(pager.page_count(), kCandidates + 1);
  size_t looked = 0;
  for (auto it = listed.begin(); it != listed.end() && looked < kCandidates; ++it) {
    uint32_t number = *it;
    if (number == avoid) continue;
    ByteSpan page = pager.Page(number);
    if (!OwnedBy(page, owner)) continue;
    ++looked;
    if (RowFits(page, bytes.size())) {
      std::optional<uint8_t> row = AddPageRow(pager.Modify(number), bytes, flags);
      if (row) return {number, *row};
    }
    if (PageFreeSpace(pager.Page(number)) < kNearlyFull) allocator.free_space().Remove(number);
  }
  // Long-value pages stay out of the table's owned pages: readers take those for row pages.
  uint32_t number =
      owner == data_page::kLongValueOwner ? allocator.AllocateUnowned() : allocator.Allocate();
  std::span<uint8_t> page = pager.Modify(number);
  InitDataPage(page, owner);
  allocator.free_space().Add(number);
  std::optional<uint8_t> row = AddPageRow(page, std::move(bytes), flags);
  if (!row) throw errors::Internal("Interner Fehler: Zeile passt auf keine Seite.");
  return {number, *row};
}

}  // namespace jet
