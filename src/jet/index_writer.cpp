#include "jet/index_writer.h"

#include <algorithm>
#include <stdexcept>

#include "jet/error.h"
#include "jet/index_page_edit.h"

namespace jet {

namespace {

// No real index is anywhere near this deep; a deeper descent means a cycle among child pointers.
constexpr size_t kMaxIndexDepth = 32;

// Order of index entries: key bytes (unsigned, a shorter key before its extensions), then row.
int CompareEntry(const IndexEntry& e, const std::string& key, RowId row) {
  if (const int c = e.key.compare(key); c != 0) return c < 0 ? -1 : 1;
  if (e.row.page != row.page) return e.row.page < row.page ? -1 : 1;
  if (e.row.row != row.row) return e.row.row < row.row ? -1 : 1;
  return 0;
}

// First position in entries[0, limit) whose entry is not before (key, row).
size_t LowerBound(const std::vector<IndexEntry>& entries, size_t limit, const std::string& key,
                  RowId row) {
  const auto end = entries.begin() + static_cast<std::ptrdiff_t>(limit);
  const auto it = std::lower_bound(entries.begin(), end, 0, [&](const IndexEntry& e, int) {
    return CompareEntry(e, key, row) < 0;
  });
  return static_cast<size_t>(it - entries.begin());
}

void PutLe32(std::span<uint8_t> page, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) page[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void WritePage(Pager& pager, const IndexPage& page, JetVersion version) {
  const std::vector<uint8_t> bytes = EncodeIndexPage(page, version);
  const std::span<uint8_t> target = pager.Modify(page.number);
  std::copy(bytes.begin(), bytes.end(), target.begin());
}

IndexEntry EntryFor(const IndexEntry& last, uint32_t child) {
  IndexEntry e;
  e.key = last.key;
  e.row = last.row;
  e.child = child;
  return e;
}

}  // namespace

IndexWriter::IndexWriter(Pager& pager, PageAllocator& allocator, JetVersion version,
                         uint32_t root_page, std::vector<IndexKeyColumn> columns,
                         IndexPageCache* cache)
    : pager_(pager),
      allocator_(allocator),
      version_(version),
      root_page_(root_page),
      columns_(std::move(columns)),
      cache_(cache) {
  if (version_ != JetVersion::kJet4) {
    ThrowDamagedIndexPage(root_page_, "Indizes werden nur in Jet-4-Dateien geschrieben");
  }
  if (cache_ != nullptr) cache_->Trim();
  View(root_page_);  // refuses a root that is no index page
}

const IndexPage& IndexWriter::View(uint32_t number) {
  if (number == 0 || number >= pager_.page_count()) {
    ThrowDamagedIndexPage(number, "Seitenverweis außerhalb der Datei");
  }
  if (cache_ != nullptr) return cache_->Get(pager_, version_, number);
  scratch_ = DecodeIndexPage(pager_.Page(number), version_, number);
  return scratch_;
}

IndexPage IndexWriter::Load(uint32_t number) {
  if (cache_ == nullptr) {
    if (number == 0 || number >= pager_.page_count()) {
      ThrowDamagedIndexPage(number, "Seitenverweis außerhalb der Datei");
    }
    return DecodeIndexPage(pager_.Page(number), version_, number);
  }
  const IndexPage& cached = View(number);
  // A leaf loaded to change is stored again or freed: hand it over rather than copy it. An
  // intermediate page on the way down mostly stays as it is, and cached.
  if (!cached.leaf) return cached;
  return cache_->Take(pager_, version_, number);
}

void IndexWriter::Write(const IndexPage& page) {
  WritePage(pager_, page, version_);
  if (cache_ != nullptr) cache_->Put(pager_, page);
}

IndexWriter::Step IndexWriter::LoadStep(uint32_t number, const IndexEntry* bound) {
  Step step;
  step.page = Load(number);
  if (!step.page.leaf && step.page.tail_page != 0) {
    IndexEntry tail;
    if (bound) {
      tail.key = bound->key;
      tail.row = bound->row;
    }
    tail.child = step.page.tail_page;
    step.page.entries.push_back(std::move(tail));
    step.page.tail_page = 0;
    step.last_known = bound != nullptr;
  }
  return step;
}

IndexWriter::Path IndexWriter::Descend(const std::string& key, RowId row) {
  Path path;
  uint32_t number = root_page_;
  IndexEntry bound;
  bool bound_known = false;  // nothing above the root records its last entry
  while (path.size() < kMaxIndexDepth) {
    Step step = LoadStep(number, bound_known ? &bound : nullptr);
    if (step.page.leaf) {
      path.push_back(std::move(step));
      return path;
    }
    const size_t n = step.page.entries.size();
    if (n == 0) ThrowDamagedIndexPage(number, "leere Zwischenseite");
    const size_t limit = step.last_known ? n : n - 1;
    step.slot = std::min(LowerBound(step.page.entries, limit, key, row), n - 1);
    bound_known = step.slot + 1 < n || step.last_known;
    bound = step.page.entries[step.slot];
    number = bound.child;
    path.push_back(std::move(step));
  }
  ThrowDamagedIndexPage(root_page_, "Baum zu tief");
}

IndexEntry IndexWriter::LastEntryBelow(uint32_t number) {
  for (size_t depth = 0; depth < kMaxIndexDepth; ++depth) {
    const IndexPage& page = View(number);
    if (page.leaf) {
      if (page.entries.empty()) ThrowDamagedIndexPage(number, "leere Blattseite");
      return page.entries.back();
    }
    if (page.tail_page != 0) {
      number = page.tail_page;
    } else if (!page.entries.empty()) {
      number = page.entries.back().child;
    } else {
      ThrowDamagedIndexPage(number, "leere Zwischenseite");
    }
  }
  ThrowDamagedIndexPage(number, "Baum zu tief");
}

// Calls `use` with the page in its stored form: the last of two or more children becomes the
// tail; a single child is an ordinary entry (which needs its key); a root without entries is an
// empty leaf. Works in place: copying every entry would cost more than the change itself.
template <typename Use>
bool IndexWriter::AsStored(Step& step, Use&& use) {
  IndexPage& page = step.page;
  if (!page.leaf && page.entries.empty()) page.leaf = true;
  if (page.leaf) return use(page);
  if (page.entries.size() == 1) {
    if (!step.last_known) {
      page.entries[0] = EntryFor(LastEntryBelow(page.entries[0].child), page.entries[0].child);
      step.last_known = true;
    }
    page.tail_page = 0;
    return use(page);
  }
  IndexEntry tail = std::move(page.entries.back());
  page.entries.pop_back();
  page.tail_page = tail.child;
  const bool result = use(page);
  page.tail_page = 0;
  page.entries.push_back(std::move(tail));
  return result;
}

bool IndexWriter::Fits(Step& step) {
  return AsStored(step, [&](const IndexPage& page) { return IndexPageFits(page, version_); });
}

void IndexWriter::Store(Step& step) {
  AsStored(step, [&](const IndexPage& page) {
    Write(page);
    return true;
  });
}

void IndexWriter::StoreLinks(uint32_t number, std::optional<uint32_t> prev,
                             std::optional<uint32_t> next) {
  View(number);  // refuses to patch a page that is no index page
  const IndexPageLayout& layout = IndexPageLayoutFor(version_);
  const std::span<uint8_t> page = pager_.Modify(number);
  if (prev) PutLe32(page, layout.prev_page_offset, *prev);
  if (next) PutLe32(page, layout.next_page_offset, *next);
}

void IndexWriter::CarryLastUp(Path& path, size_t level) {
  // Counted from the leaf: a root split adds a step near the top of the path.
  size_t from_bottom = path.size() - 1 - level;
  while (from_bottom + 1 < path.size()) {
    const size_t j = path.size() - 2 - from_bottom;
    const IndexEntry last = path[j + 1].page.entries.back();
    Step& up = path[j];
    const size_t s = up.slot;
    const size_t n = up.page.entries.size();
    IndexEntry& entry = up.page.entries[s];
    entry.key = last.key;
    entry.row = last.row;
    const bool is_tail = n >= 2 && s == n - 1;
    if (s == n - 1) up.last_known = true;
    if (!is_tail) {
      // A longer key may overflow the page.
      if (Fits(up)) {
        Store(up);
      } else {
        Split(path, j, s);
      }
    }
    if (s != n - 1) return;
    ++from_bottom;
  }
}

size_t IndexWriter::CutPoint(Step& step, size_t inserted) {
  const IndexPage& page = step.page;
  const size_t n = page.entries.size();
  if (n < 2) throw std::logic_error("index page with one entry does not fit");
  const bool rightmost = page.next_page == 0;
  size_t cut;
  if (rightmost && page.leaf && inserted == n - 1) {
    cut = n - 1;  // appending in order: fill pages instead of leaving them half empty
  } else if (rightmost && !page.leaf && n >= 3 && inserted + 2 >= n) {
    cut = n - 2;
  } else {
    size_t total = 0;
    for (const IndexEntry& e : page.entries) total += e.key.size();
    size_t half = 0;
    cut = 0;
    while (cut < n && 2 * half < total) half += page.entries[cut++].key.size();
  }
  const size_t low = 1, high = page.leaf || n < 3 ? n - 1 : n - 2;
  cut = std::clamp(cut, low, high);
  // Both parts must fit; shift the cut towards the part that does not.
  auto part_fits = [&](size_t from, size_t to) {
    Step part;
    part.page.leaf = page.leaf;
    part.page.entries.assign(page.entries.begin() + static_cast<std::ptrdiff_t>(from),
                             page.entries.begin() + static_cast<std::ptrdiff_t>(to));
    part.last_known = to < n || step.last_known;
    if (!part.last_known && to - from == 1) return true;  // a single tail child always fits
    return Fits(part);
  };
  for (size_t tries = 0; tries < n; ++tries) {
    if (!part_fits(0, cut) && cut > low) {
      --cut;
    } else if (!part_fits(cut, n) && cut < high) {
      ++cut;
    } else {
      break;
    }
  }
  return cut;
}

void IndexWriter::Split(Path& path, size_t level, size_t inserted) {
  const size_t cut = CutPoint(path[level], inserted);
  if (level == 0) {
    SplitRoot(path, cut);
    return;
  }
  Step& x = path[level];
  Step left;
  left.page.number = allocator_.Allocate();
  left.page.leaf = x.page.leaf;
  left.page.table_page = x.page.table_page;
  left.page.entries.assign(
      std::make_move_iterator(x.page.entries.begin()),
      std::make_move_iterator(x.page.entries.begin() + static_cast<std::ptrdiff_t>(cut)));
  x.page.entries.erase(x.page.entries.begin(),
                       x.page.entries.begin() + static_cast<std::ptrdiff_t>(cut));
  // The new page goes before the old one in its level's chain.
  left.page.prev_page = x.page.prev_page;
  left.page.next_page = x.page.number;
  if (x.page.prev_page != 0) StoreLinks(x.page.prev_page, std::nullopt, left.page.number);
  x.page.prev_page = left.page.number;
  Store(left);
  Store(x);

  Step& up = path[level - 1];
  const size_t s = up.slot;
  up.page.entries.insert(up.page.entries.begin() + static_cast<std::ptrdiff_t>(s),
                         EntryFor(left.page.entries.back(), left.page.number));
  up.slot = s + 1;
  const bool on_path = level + 1 < path.size();
  if (on_path && x.slot < cut) {
    left.slot = x.slot;
    path[level] = std::move(left);
    up.slot = s;
  } else if (on_path) {
    x.slot -= cut;
  }
  if (Fits(path[level - 1])) {
    Store(path[level - 1]);
  } else {
    Split(path, level - 1, s);
  }
}

void IndexWriter::SplitRoot(Path& path, size_t cut) {
  Step& root = path[0];
  Step a, b;
  a.page.number = allocator_.Allocate();
  b.page.number = allocator_.Allocate();
  for (Step* part : {&a, &b}) {
    part->page.leaf = root.page.leaf;
    part->page.table_page = root.page.table_page;
  }
  const auto middle = root.page.entries.begin() + static_cast<std::ptrdiff_t>(cut);
  a.page.entries.assign(root.page.entries.begin(), middle);
  b.page.entries.assign(middle, root.page.entries.end());
  a.page.next_page = b.page.number;
  b.page.prev_page = a.page.number;
  b.last_known = root.last_known;

  root.page.leaf = false;
  root.page.prev_page = root.page.next_page = root.page.tail_page = 0;
  root.page.entries = {EntryFor(a.page.entries.back(), a.page.number),
                       EntryFor(b.page.entries.back(), b.page.number)};
  Store(a);
  Store(b);
  Store(root);

  // Keep the path running through the part that holds the child it went through.
  const bool on_path = path.size() > 1;
  const size_t slot = root.slot;
  if (on_path && slot < cut) {
    a.slot = slot;
    root.slot = 0;
    path.insert(path.begin() + 1, std::move(a));
  } else {
    b.slot = on_path ? slot - cut : 0;
    root.slot = 1;
    path.insert(path.begin() + 1, std::move(b));
  }
}

void IndexWriter::RemoveEmpty(Path& path, size_t level) {
  const IndexPage& x = path[level].page;
  if (x.prev_page != 0) StoreLinks(x.prev_page, std::nullopt, x.next_page);
  if (x.next_page != 0) StoreLinks(x.next_page, x.prev_page, std::nullopt);
  allocator_.Free(x.number);
  path.resize(level);

  Step& up = path[level - 1];
  const size_t s = up.slot;
  const bool was_last = s + 1 == up.page.entries.size();
  up.page.entries.erase(up.page.entries.begin() + static_cast<std::ptrdiff_t>(s));
  if (up.page.entries.empty()) {
    if (level - 1 > 0) {
      RemoveEmpty(path, level - 1);
    } else {
      up.page.leaf = true;
      up.last_known = true;
      Store(up);
    }
    return;
  }
  if (was_last) {
    up.last_known = true;  // the new last child was stored with its key
    up.slot = up.page.entries.size() - 1;
  } else {
    up.slot = s;
  }
  Store(up);
  if (was_last) CarryLastUp(path, level - 1);
}

void IndexWriter::MergeLeafIntoNext(Path& path) {
  const size_t level = path.size() - 1;
  if (level == 0) return;
  Step& up = path[level - 1];
  Step& x = path[level];
  const size_t s = up.slot;
  if (s == 0 || !x.page.leaf) return;
  {
    const IndexPage& left = View(up.page.entries[s - 1].child);
    if (!left.leaf || left.next_page != x.page.number) return;
    // Only pages that together fill at most three quarters of one: the merged page should not
    // split again at the next insert.
    size_t bytes = 0;
    for (const IndexPage* page : {&left, static_cast<const IndexPage*>(&x.page)}) {
      for (const IndexEntry& e : page->entries) bytes += e.key.size() + kIndexRowPointerSize;
    }
    if (4 * bytes > 3 * IndexEntryArea(version_)) return;
  }
  IndexPage left = Load(up.page.entries[s - 1].child);

  x.page.entries.insert(x.page.entries.begin(), std::make_move_iterator(left.entries.begin()),
                        std::make_move_iterator(left.entries.end()));
  if (left.prev_page != 0) StoreLinks(left.prev_page, std::nullopt, x.page.number);
  x.page.prev_page = left.prev_page;
  allocator_.Free(left.number);
  up.page.entries.erase(up.page.entries.begin() + static_cast<std::ptrdiff_t>(s - 1));
  up.slot = s - 1;
  Store(x);
  Store(up);
}

void IndexWriter::ShrinkRoot() {
  for (size_t depth = 0; depth < kMaxIndexDepth; ++depth) {
    const IndexPage& root = View(root_page_);
    if (root.leaf) return;
    const size_t children = root.entries.size() + (root.tail_page != 0 ? 1 : 0);
    if (children != 1) return;
    const uint32_t only = root.tail_page != 0 ? root.tail_page : root.entries[0].child;
    const uint32_t table_page = root.table_page;
    IndexPage child = Load(only);
    child.number = root_page_;
    child.prev_page = child.next_page = 0;
    child.table_page = table_page;
    Write(child);
    allocator_.Free(only);
  }
}

void IndexWriter::CheckKey(const std::string& key) const {
  // Every column contributes at least its flag byte.
  if (key.size() < columns_.size())
    throw std::invalid_argument("index key shorter than its columns");
}

bool IndexWriter::KeyAround(const IndexPage& leaf, size_t before_end, size_t after_begin,
                            const std::string& key) {
  if (before_end > 0) {
    if (leaf.entries[before_end - 1].key == key) return true;
  } else if (leaf.prev_page != 0) {
    const IndexPage& prev = View(leaf.prev_page);
    if (!prev.entries.empty() && prev.entries.back().key == key) return true;
  }
  if (after_begin < leaf.entries.size()) return leaf.entries[after_begin].key == key;
  if (leaf.next_page == 0) return false;
  const IndexPage& next = View(leaf.next_page);
  return !next.entries.empty() && next.entries.front().key == key;
}

std::optional<bool> IndexWriter::InsertInLeaf(const std::string& key, RowId row) {
  bool through_tails = false;
  const uint32_t number = FindLeaf(key, row, &through_tails);
  IndexPage leaf = cache_->Take(pager_, version_, number);
  std::vector<IndexEntry>& entries = leaf.entries;
  const size_t pos = LowerBound(entries, entries.size(), key, row);
  // A new last entry of a leaf is recorded above it, unless the leaf is the last of the tree and
  // every page above reaches it through its tail, which stores no key (appending in order).
  const bool at_end = pos == entries.size();
  if (at_end ? !(through_tails && leaf.next_page == 0)
             : CompareEntry(entries[pos], key, row) == 0) {
    cache_->Put(pager_, std::move(leaf));
    return std::nullopt;
  }
  const bool known = KeyAround(leaf, pos, pos, key);
  IndexEntry entry;
  entry.key = key;
  entry.row = row;
  if (pos > 0) {
    const std::span<uint8_t> page = pager_.Modify(number);
    if (InsertLeafEntryInPlace(page, entries.size(), pos, key, row)) {
      entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(pos), std::move(entry));
      cache_->Put(pager_, std::move(leaf));
      return known;
    }
  }
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(pos), std::move(entry));
  if (!IndexPageFits(leaf, version_)) {
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(pos));
    cache_->Put(pager_, std::move(leaf));
    return std::nullopt;
  }
  WritePage(pager_, leaf, version_);
  cache_->Put(pager_, std::move(leaf));
  return known;
}

std::optional<bool> IndexWriter::RemoveInLeaf(const std::string& key, RowId row) {
  const uint32_t number = FindLeaf(key, row);
  IndexPage leaf = cache_->Take(pager_, version_, number);
  std::vector<IndexEntry>& entries = leaf.entries;
  const size_t pos = LowerBound(entries, entries.size(), key, row);
  // The leaf's last entry, or the leaf left sparse enough to merge with another: the full way.
  size_t bytes_left = 0;
  for (const IndexEntry& e : entries) bytes_left += e.key.size() + kIndexRowPointerSize;
  if (pos + 1 >= entries.size() || CompareEntry(entries[pos], key, row) != 0 ||
      4 * (bytes_left - entries[pos].key.size() - kIndexRowPointerSize) <=
          3 * IndexEntryArea(version_)) {
    cache_->Put(pager_, std::move(leaf));
    return std::nullopt;
  }
  const bool remaining = KeyAround(leaf, pos, pos + 1, key);
  if (pos > 0) {
    const std::span<uint8_t> page = pager_.Modify(number);
    if (RemoveLeafEntryInPlace(page, entries.size(), pos)) {
      entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(pos));
      cache_->Put(pager_, std::move(leaf));
      return remaining;
    }
  }
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(pos));
  WritePage(pager_, leaf, version_);
  cache_->Put(pager_, std::move(leaf));
  return remaining;
}

bool IndexWriter::Insert(const std::string& key, RowId row) {
  CheckKey(key);
  if (cache_ != nullptr) {
    cache_->Trim();
    if (std::optional<bool> known = InsertInLeaf(key, row)) return *known;
  }
  Path path = Descend(key, row);
  const size_t level = path.size() - 1;
  std::vector<IndexEntry>& entries = path[level].page.entries;
  const size_t pos = LowerBound(entries, entries.size(), key, row);
  if (pos < entries.size() && CompareEntry(entries[pos], key, row) == 0) {
    ThrowDamagedIndexPage(path[level].page.number, "Indexeintrag schon vorhanden");
  }
  const bool known = KeyAround(path[level].page, pos, pos, key);
  IndexEntry entry;
  entry.key = key;
  entry.row = row;
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(pos), std::move(entry));
  const bool new_last = pos + 1 == entries.size();
  if (Fits(path[level])) {
    Store(path[level]);
  } else {
    // The part that keeps the last entry stays on the path.
    Split(path, level, pos);
  }
  if (new_last) CarryLastUp(path, path.size() - 1);
  return known;
}

bool IndexWriter::Remove(const std::string& key, RowId row) {
  CheckKey(key);
  if (cache_ != nullptr) {
    cache_->Trim();
    if (std::optional<bool> remaining = RemoveInLeaf(key, row)) return *remaining;
  }
  Path path = Descend(key, row);
  const size_t level = path.size() - 1;
  std::vector<IndexEntry>& entries = path[level].page.entries;
  const size_t pos = LowerBound(entries, entries.size(), key, row);
  if (pos == entries.size() || CompareEntry(entries[pos], key, row) != 0) {
    ThrowDamagedIndexPage(path[level].page.number, "Indexeintrag fehlt");
  }
  const bool remaining = KeyAround(path[level].page, pos, pos + 1, key);
  const bool was_last = pos + 1 == entries.size();
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(pos));
  if (entries.empty() && level > 0) {
    RemoveEmpty(path, level);
  } else {
    Store(path[level]);
    if (was_last && !entries.empty()) CarryLastUp(path, level);
    MergeLeafIntoNext(path);
  }
  ShrinkRoot();
  return remaining;
}

uint32_t IndexWriter::FindLeaf(const std::string& key, RowId row, bool* through_tails) {
  // As Descend, without copying pages: a stored entry bounds its child; past the last, the tail.
  if (through_tails != nullptr) *through_tails = true;
  uint32_t number = root_page_;
  for (size_t depth = 0; depth < kMaxIndexDepth; ++depth) {
    const IndexPage& page = View(number);
    if (page.leaf) return number;
    const size_t n = page.entries.size();
    const size_t pos = LowerBound(page.entries, n, key, row);
    if (pos < n) {
      number = page.entries[pos].child;
      if (through_tails != nullptr) *through_tails = false;
    } else if (page.tail_page != 0) {
      number = page.tail_page;
    } else if (n > 0) {
      number = page.entries.back().child;
      if (through_tails != nullptr) *through_tails = false;
    } else {
      ThrowDamagedIndexPage(number, "leere Zwischenseite");
    }
  }
  ThrowDamagedIndexPage(root_page_, "Baum zu tief");
}

bool IndexWriter::ContainsKey(const std::string& key, std::optional<RowId> except) {
  if (cache_ != nullptr) cache_->Trim();
  const IndexPage* leaf = &View(FindLeaf(key, RowId{}));
  size_t pos = LowerBound(leaf->entries, leaf->entries.size(), key, RowId{});
  for (uint32_t pages = 0; pages <= pager_.page_count();) {
    if (pos == leaf->entries.size()) {
      if (leaf->next_page == 0) return false;
      leaf = &View(leaf->next_page);
      pos = 0;
      ++pages;
      continue;
    }
    const IndexEntry& e = leaf->entries[pos++];
    if (e.key != key) return false;
    if (!except || !(e.row == *except)) return true;
  }
  ThrowDamagedIndexPage(leaf->number, "Kreis in der Kette der Blattseiten");
}

void WriteEmptyIndexRoot(Pager& pager, JetVersion version, uint32_t page, uint32_t table_page) {
  IndexPage root;
  root.number = page;
  root.leaf = true;
  root.table_page = table_page;
  WritePage(pager, root, version);
}

}  // namespace jet
