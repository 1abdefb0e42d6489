#include "jet/index_bulk_load.h"

#include <algorithm>
#include <utility>

namespace jet {

namespace {

// Entries [begin, end) of one level that go on one page.
struct PageRange {
  size_t begin;
  size_t end;
};

size_t CommonPrefix(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// How many of the entries from `from` on fit on one page as EncodeIndexPage stores them: the
// shared prefix of a full page is what the keys of its first and last entries have in common,
// left out of every entry but the first. What a page takes never shrinks as entries join it, so
// the first entry that does not fit ends the page. At least one: a single entry too long for a
// page is refused when the page is encoded.
size_t EntriesThatFit(const std::vector<IndexEntry>& entries, size_t from, size_t trailer,
                      size_t area) {
  const std::string& first = entries[from].key;
  size_t total = 0;
  size_t count = 0;
  for (size_t i = from; i < entries.size(); ++i) {
    const size_t with = total + entries[i].key.size() + trailer;
    if (with > area) {
      const size_t shared = CommonPrefix(first, entries[i].key);
      if (with - shared * count > area) break;
    }
    total = with;
    ++count;
  }
  return std::max<size_t>(count, 1);
}

// Cuts one level into pages, each filled as far as it goes. An intermediate page stores an entry
// for every child but the last, which it names as its tail and which takes no room on the page.
std::vector<PageRange> PackLevel(const std::vector<IndexEntry>& entries, bool leaf,
                                 JetVersion version) {
  const size_t trailer = kIndexRowPointerSize + (leaf ? 0 : kIndexChildPointerSize);
  const size_t area = IndexEntryArea(version);
  std::vector<PageRange> ranges;
  for (size_t from = 0; from < entries.size();) {
    size_t end = from + EntriesThatFit(entries, from, trailer, area);
    if (!leaf && end < entries.size()) ++end;
    ranges.push_back({from, end});
    from = end;
  }
  // Rather than an intermediate page with a single child, the last page takes over the tail of
  // the page before (which then fits all the more).
  if (!leaf && ranges.size() >= 2) {
    PageRange& before = ranges[ranges.size() - 2];
    PageRange& last = ranges.back();
    if (last.end - last.begin == 1 && before.end - before.begin >= 3) {
      --before.end;
      --last.begin;
    }
  }
  return ranges;
}

void WritePage(Pager& pager, const IndexPage& page, JetVersion version) {
  const std::vector<uint8_t> bytes = EncodeIndexPage(page, version);
  const std::span<uint8_t> target = pager.Modify(page.number);
  std::copy(bytes.begin(), bytes.end(), target.begin());
}

// Writes the pages `numbers` of one level, linked in a chain, taking the keys out of `entries`.
// Returns the entries of the level above: per page, the last entry below it.
std::vector<IndexEntry> WriteLevel(Pager& pager, JetVersion version, uint32_t table_page,
                                   std::vector<IndexEntry>& entries, bool leaf,
                                   const std::vector<PageRange>& ranges,
                                   const std::vector<uint32_t>& numbers) {
  std::vector<IndexEntry> above;
  above.reserve(ranges.size());
  IndexPage page;
  page.leaf = leaf;
  page.table_page = table_page;
  for (size_t i = 0; i < ranges.size(); ++i) {
    const PageRange& r = ranges[i];
    page.number = numbers[i];
    page.prev_page = i > 0 ? numbers[i - 1] : 0;
    page.next_page = i + 1 < numbers.size() ? numbers[i + 1] : 0;
    page.tail_page = 0;

    IndexEntry last;
    last.key = entries[r.end - 1].key;
    last.row = entries[r.end - 1].row;
    last.child = page.number;
    above.push_back(std::move(last));

    page.entries.assign(
        std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(r.begin)),
        std::make_move_iterator(entries.begin() + static_cast<std::ptrdiff_t>(r.end)));
    if (!leaf && page.entries.size() >= 2) {
      page.tail_page = page.entries.back().child;
      page.entries.pop_back();
    }
    WritePage(pager, page, version);
  }
  return above;
}

}  // namespace

void BulkLoadIndex(Pager& pager, PageAllocator& allocator, JetVersion version, uint32_t root_page,
                   uint32_t table_page, std::vector<IndexEntry> entries) {
  if (version != JetVersion::kJet4) {
    ThrowDamagedIndexPage(root_page, "Indizes werden nur in Jet-4-Dateien geschrieben");
  }
  if (entries.empty()) {
    IndexPage root;
    root.number = root_page;
    root.leaf = true;
    root.table_page = table_page;
    WritePage(pager, root, version);
    return;
  }
  bool leaf = true;
  std::vector<IndexEntry> level = std::move(entries);
  for (;;) {
    const std::vector<PageRange> ranges = PackLevel(level, leaf, version);
    // The level that fits on one page is the root, which keeps its page number.
    std::vector<uint32_t> numbers;
    if (ranges.size() == 1) {
      numbers.push_back(root_page);
    } else {
      for (size_t i = 0; i < ranges.size(); ++i) numbers.push_back(allocator.Allocate());
    }
    std::vector<IndexEntry> above =
        WriteLevel(pager, version, table_page, level, leaf, ranges, numbers);
    if (ranges.size() == 1) return;
    level = std::move(above);
    leaf = false;
  }
}

}  // namespace jet
