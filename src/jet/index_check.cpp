#include "jet/index_check.h"

#include <map>
#include <optional>
#include <set>

#include "jet/error.h"
#include "jet/index_page.h"

namespace jet {

namespace {

constexpr size_t kMaxProblems = 100;
constexpr uint32_t kMaxDepth = 32;

int Compare(const IndexEntry& a, const IndexEntry& b) {
  if (const int c = a.key.compare(b.key); c != 0) return c < 0 ? -1 : 1;
  if (a.row.page != b.row.page) return a.row.page < b.row.page ? -1 : 1;
  if (a.row.row != b.row.row) return a.row.row < b.row.row ? -1 : 1;
  return 0;
}

struct Span {
  IndexEntry first, last;
};

class Checker {
 public:
  Checker(PageReader& pages, JetVersion version, uint32_t root)
      : pages_(pages), version_(version), root_(root) {}

  IndexCheckResult Run() {
    std::optional<IndexPage> root = Load(root_);
    if (root) {
      table_page_ = root->table_page;
      Walk(*root, 0);
      CheckLevels();
    }
    result_.depth = leaf_depth_ ? *leaf_depth_ + 1 : 0;
    return std::move(result_);
  }

 private:
  void Problem(uint32_t page, const std::string& what) {
    if (result_.problems.size() < kMaxProblems) {
      result_.problems.push_back("Seite " + std::to_string(page) + ": " + what);
    }
  }

  std::optional<IndexPage> Load(uint32_t number) {
    if (number == 0 || number >= pages_.page_count()) {
      Problem(number, "Verweis außerhalb der Datei");
      return std::nullopt;
    }
    if (!seen_.insert(number).second) {
      Problem(number, "mehrfach im Baum");
      return std::nullopt;
    }
    try {
      return DecodeIndexPage(pages_.Page(number), version_, number);
    } catch (const Error& e) {
      Problem(number, e.what());
      return std::nullopt;
    }
  }

  // Checks the subtree of `page` at `depth`; its first and last entries, none when it is empty.
  std::optional<Span> Walk(const IndexPage& page, uint32_t depth) {
    ++result_.pages;
    levels_[depth].push_back(page);
    if (page.table_page != table_page_) Problem(page.number, "andere Tabelle als die Wurzel");
    for (size_t i = 1; i < page.entries.size(); ++i) {
      if (Compare(page.entries[i - 1], page.entries[i]) >= 0) {
        Problem(page.number, "Einträge nicht aufsteigend (Eintrag " + std::to_string(i) + ")");
      }
    }
    if (page.leaf) {
      if (page.tail_page != 0) Problem(page.number, "Blattseite mit Endseite");
      if (!leaf_depth_) leaf_depth_ = depth;
      if (*leaf_depth_ != depth) Problem(page.number, "Blattseite in anderer Tiefe");
      result_.entries += page.entries.size();
      if (page.entries.empty()) {
        if (page.number != root_) Problem(page.number, "leere Blattseite");
        return std::nullopt;
      }
      return Span{page.entries.front(), page.entries.back()};
    }
    if (depth + 1 >= kMaxDepth) {
      Problem(page.number, "Baum zu tief");
      return std::nullopt;
    }
    if (page.entries.empty() && page.tail_page == 0) {
      Problem(page.number, "leere Zwischenseite");
      return std::nullopt;
    }
    if (page.entries.size() >= 2 && page.tail_page == 0) {
      Problem(page.number, "Zwischenseite ohne Endseite");
    }
    std::optional<Span> whole;
    const IndexEntry* before = nullptr;  // the entry all of the next child must follow
    auto child = [&](uint32_t number, const IndexEntry* expected_last) {
      std::optional<IndexPage> sub = Load(number);
      if (!sub) return;
      std::optional<Span> span = Walk(*sub, depth + 1);
      if (!span) {
        Problem(number, "leerer Teilbaum");
        return;
      }
      if (expected_last && Compare(span->last, *expected_last) != 0) {
        Problem(page.number,
                "Eintrag für Seite " + std::to_string(number) + " ist nicht deren letzter Eintrag");
      }
      if (before && Compare(span->first, *before) <= 0) {
        Problem(number, "Einträge nicht nach denen der vorigen Seite");
      }
      if (!whole) whole = Span{span->first, span->last};
      whole->last = span->last;
    };
    for (const IndexEntry& e : page.entries) {
      child(e.child, &e);
      before = &e;
    }
    if (page.tail_page != 0) child(page.tail_page, nullptr);
    return whole;
  }

  void CheckLevels() {
    for (const auto& [depth, level] : levels_) {
      for (size_t i = 0; i < level.size(); ++i) {
        const uint32_t prev = i == 0 ? 0 : level[i - 1].number;
        const uint32_t next = i + 1 == level.size() ? 0 : level[i + 1].number;
        if (level[i].prev_page != prev) {
          Problem(level[i].number, "Vorgänger " + std::to_string(level[i].prev_page) + " statt " +
                                       std::to_string(prev));
        }
        if (level[i].next_page != next) {
          Problem(level[i].number, "Nachfolger " + std::to_string(level[i].next_page) + " statt " +
                                       std::to_string(next));
        }
      }
    }
  }

  PageReader& pages_;
  JetVersion version_;
  uint32_t root_;
  uint32_t table_page_ = 0;
  IndexCheckResult result_;
  std::set<uint32_t> seen_;
  std::map<uint32_t, std::vector<IndexPage>> levels_;
  std::optional<uint32_t> leaf_depth_;
};

}  // namespace

IndexCheckResult CheckIndex(PageReader& pages, JetVersion version, uint32_t root_page) {
  return Checker(pages, version, root_page).Run();
}

}  // namespace jet
