#include "jet/index_tree.h"

#include <algorithm>
#include <string_view>

#include "jet/index_key.h"
#include "jet/index_page.h"

namespace jet {

namespace {

// No real index is anywhere near this deep; a deeper descent means a cycle among child pointers.
constexpr int kMaxIndexDepth = 32;

// Compares `entry` with the search key `key`, looking only at the first key.size() bytes of the
// entry, so that a key of the first columns matches every entry that starts with it.
int ComparePrefix(const std::string& entry, const std::string& key) {
  const int c = std::string_view(entry).substr(0, key.size()).compare(key);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

class IndexTreeCursor : public IndexCursor {
 public:
  IndexTreeCursor(PageReader& pages, JetVersion version, uint32_t root_page,
                  std::vector<IndexKeyColumn> columns)
      : pages_(pages), version_(version), root_(root_page), columns_(std::move(columns)) {
    const IndexPage root = Load(root_);  // refuses a root that is no index page
    (void)root;
  }

  void SeekFirst() override { Seek(std::string()); }

  void SeekGE(const std::vector<Value>& key) override {
    Seek(EncodeIndexKey(columns_, key, version_));
  }

  bool Valid() const override { return valid_; }

  void Next() override {
    if (!valid_) return;
    ++pos_;
    Settle();
  }

  RowId row_id() const override { return valid_ ? leaf_.entries[pos_].row : RowId{}; }

  int CompareKey(const std::vector<Value>& key) const override {
    if (!valid_) return 1;
    // Range scans compare every entry with the same bound: encode it once.
    if (!compared_ || key != compared_values_) {
      compared_key_ = EncodeIndexKey(columns_, key, version_);
      compared_values_ = key;
      compared_ = true;
    }
    return ComparePrefix(leaf_.entries[pos_].key, compared_key_);
  }

 private:
  IndexPage Load(uint32_t number) {
    if (number == 0 || number >= pages_.page_count()) {
      ThrowDamagedIndexPage(number, "Seitenverweis außerhalb der Datei");
    }
    return DecodeIndexPage(pages_.Page(number), version_, number);
  }

  // Descends from the root to the leaf that holds the first entry >= key.
  void Seek(const std::string& key) {
    valid_ = false;
    uint32_t number = root_;
    for (int depth = 0; depth < kMaxIndexDepth; ++depth) {
      IndexPage page = Load(number);
      if (page.leaf) {
        leaf_ = std::move(page);
        leaves_visited_ = 1;
        auto it = std::find_if(leaf_.entries.begin(), leaf_.entries.end(),
                               [&](const IndexEntry& e) { return ComparePrefix(e.key, key) >= 0; });
        pos_ = static_cast<size_t>(it - leaf_.entries.begin());
        Settle();
        return;
      }
      auto it = std::find_if(page.entries.begin(), page.entries.end(),
                             [&](const IndexEntry& e) { return ComparePrefix(e.key, key) >= 0; });
      if (it != page.entries.end()) {
        number = it->child;
      } else if (page.tail_page != 0) {
        number = page.tail_page;  // entries after the last one live in the tail child
      } else if (!page.entries.empty()) {
        number = page.entries.back().child;  // past the end: the leaf walk runs off its end
      } else {
        ThrowDamagedIndexPage(number, "leere Zwischenseite");
      }
    }
    ThrowDamagedIndexPage(root_, "Baum zu tief");
  }

  // Moves to the next leaf pages while the position lies past the current page's entries.
  void Settle() {
    while (pos_ >= leaf_.entries.size()) {
      const uint32_t next = leaf_.next_page;
      if (next == 0) {
        valid_ = false;
        return;
      }
      if (++leaves_visited_ > pages_.page_count()) {
        ThrowDamagedIndexPage(next, "Kreis in der Kette der Blattseiten");
      }
      IndexPage page = Load(next);
      if (!page.leaf) ThrowDamagedIndexPage(next, "Folgeseite ist keine Blattseite");
      leaf_ = std::move(page);
      pos_ = 0;
    }
    valid_ = true;
  }

  PageReader& pages_;
  JetVersion version_;
  uint32_t root_;
  std::vector<IndexKeyColumn> columns_;
  IndexPage leaf_;
  size_t pos_ = 0;
  bool valid_ = false;
  uint64_t leaves_visited_ = 0;
  mutable bool compared_ = false;
  mutable std::vector<Value> compared_values_;
  mutable std::string compared_key_;
};

}  // namespace

std::unique_ptr<IndexCursor> OpenIndexTree(PageReader& pages, JetVersion version,
                                           uint32_t root_page,
                                           std::vector<IndexKeyColumn> columns) {
  return std::make_unique<IndexTreeCursor>(pages, version, root_page, std::move(columns));
}

}  // namespace jet
