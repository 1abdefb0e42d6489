#include "jetsql/text_util.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "jet/general_sort.h"
#include "jet/utf8.h"

namespace jetsql {

namespace {

// Base letters of U+00C0..U+00FF (Latin-1 letters with accents); 0 where there is none.
constexpr char kLatin1Base[64 + 1] =
    "aaaaaaaceeeeiiii"    // C0..CF (C6 AE handled as 'a')
    "dnooooo\0ouuuuyts"   // D0..DF (D7 multiplication sign, DE thorn, DF sharp s)
    "aaaaaaaceeeeiiii"    // E0..EF
    "dnooooo\0ouuuuyty";  // F0..FF

}  // namespace

char32_t UpperChar(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A alternates upper/lower, with a shifted stretch at 0x139..0x148 and
    // 0x179..0x17E.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 0) ? c - 1 : c;
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 1) ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;  // Greek
  if (c >= 0x430 && c <= 0x44F) return c - 32;                // Cyrillic
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

char32_t LowerChar(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F) {
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 0) ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

std::u32string UpperText(std::u32string_view text) {
  std::u32string out(text);
  for (char32_t& c : out) c = UpperChar(c);
  return out;
}

std::u32string LowerText(std::u32string_view text) {
  std::u32string out(text);
  for (char32_t& c : out) c = LowerChar(c);
  return out;
}

char32_t BaseLetter(char32_t c) {
  c = LowerChar(c);
  if (c >= 0xC0 && c <= 0xFF) {
    char base = kLatin1Base[c - 0xC0];
    return base ? static_cast<char32_t>(base) : c;
  }
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A in blocks of the same base letter.
    static constexpr struct {
      char32_t from, to;
      char base;
    } kBlocks[] = {
        {0x100, 0x105, 'a'}, {0x106, 0x10D, 'c'}, {0x10E, 0x111, 'd'}, {0x112, 0x11B, 'e'},
        {0x11C, 0x123, 'g'}, {0x124, 0x127, 'h'}, {0x128, 0x131, 'i'}, {0x134, 0x135, 'j'},
        {0x136, 0x138, 'k'}, {0x139, 0x142, 'l'}, {0x143, 0x14B, 'n'}, {0x14C, 0x151, 'o'},
        {0x154, 0x159, 'r'}, {0x15A, 0x161, 's'}, {0x162, 0x167, 't'}, {0x168, 0x173, 'u'},
        {0x174, 0x175, 'w'}, {0x176, 0x178, 'y'}, {0x179, 0x17E, 'z'}};
    for (const auto& block : kBlocks) {
      if (c >= block.from && c <= block.to) return static_cast<char32_t>(block.base);
    }
  }
  return c;
}

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Sort keys of recently compared texts: sorting and grouping compare the same few values many
// times. The cache is per thread and forgets everything when full.
constexpr size_t kSortKeyCacheLimit = 8192;
constexpr size_t kSortKeyCacheMaxText = 256;

// Looked up by string_view, without making a string of the text first.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};
using SortKeyCache = std::unordered_map<std::string, std::string, TextHash, std::equal_to<>>;

SortKeyCache& ThreadSortKeyCache() {
  thread_local SortKeyCache cache;
  return cache;
}

// References stay valid while the cache is not cleared (its nodes do not move on rehash).
const std::string& CachedSortKey(SortKeyCache& cache, std::string_view text) {
  auto it = cache.find(text);
  if (it != cache.end()) return it->second;
  return cache.emplace(std::string(text), jet::GeneralSortKeyUtf8(text)).first->second;
}

// Whether byte `at` starts a character of `text` or is its end.
bool StartsCharacter(std::string_view text, size_t at) {
  return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

// Whether `text`, the same as a shorter text up to `at`, sorts after it for its character at `at`.
bool ContinuesPastEnd(std::string_view text, size_t at) {
  size_t length = 0;
  char32_t c = jet::DecodeUtf8(text, at, &length);
  if (c >= 0x10000) c = 0xD800 + ((c - 0x10000) >> 10);  // the pair's first code unit decides
  return jet::SortsAfterEnd(static_cast<char16_t>(c));
}

}  // namespace

int CompareGeneral(std::string_view a, std::string_view b) {
  // Letters and digits alone compare the same in General order as folded ASCII: the first
  // difference between two of them decides. Identical characters at the start of both texts
  // contribute the same to every level of the order and are passed over. Whatever remains goes
  // to the engine's full General order, the one its text indexes are sorted in.
  // Grouping and sorting compare equal texts most of the time.
  if (a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0)) {
    return 0;
  }
  size_t n = std::min(a.size(), b.size());
  size_t start = 0;  // first byte of the character where the texts may start to differ
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (IsAsciiAlnum(ca) && IsAsciiAlnum(cb)) {
      if (ca >= 'A' && ca <= 'Z') ca += 32;
      if (cb >= 'A' && cb <= 'Z') cb += 32;
      if (ca != cb) return ca < cb ? -1 : 1;
    } else if (ca != cb) {
      break;
    }
    if (StartsCharacter(a, i + 1) && StartsCharacter(b, i + 1)) start = i + 1;
  }
  if (start == a.size() && start == b.size()) return 0;
  if (start == b.size() && ContinuesPastEnd(a, start)) return 1;
  if (start == a.size() && ContinuesPastEnd(b, start)) return -1;
  a.remove_prefix(start);
  b.remove_prefix(start);
  if (a.size() > kSortKeyCacheMaxText || b.size() > kSortKeyCacheMaxText) {
    return jet::CompareGeneralUtf8(a, b);
  }
  SortKeyCache& cache = ThreadSortKeyCache();
  if (cache.size() + 2 > kSortKeyCacheLimit) cache.clear();
  const std::string& ka = CachedSortKey(cache, a);
  const std::string& kb = CachedSortKey(cache, b);
  int c = ka.compare(kb);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace jetsql
