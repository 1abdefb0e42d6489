// Access's General text order: case-insensitive, accents next to their base letters, a total
// and consistent order over every UTF-16 code unit.

#include "jet/general_sort.h"
#include "jet/general_sort97.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using jet::CompareGeneral;
using jet::GeneralSortKey;

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

int Sign(int v) {
  return (v > 0) - (v < 0);
}

TEST(GeneralSort, ComparesAndOrdersAsAccessDoes) {
  struct Case {
    std::u16string a, b;
    int sign;
  };
  const std::vector<Case> cases = {
      {u"Müller", u"MÜLLER", 0},
      {u"abcxyz", u"ABCXYZ", 0},
      {u"Ölmühle", u"ölMÜHLE", 0},
      {u"é", u"É", 0},
      {u"Straße", u"Strasse", 0},
      {u"Straße", u"Strasser", -1},
      {u"Straße", u"Strasb", 1},
      // Control characters count only when all else is equal; tab and line breaks are ordinary
      // characters, between the space and the punctuation.
      {u"ab", u"a\u0002b", -1},
      {u"a\u0002b", u"a\u0003b", -1},
      {u"a\u0001b", u"ac", -1},
      {u"a b", u"a\tb", -1},
      {u"a\tb", u"a!b", -1}};
  std::vector<Case> all = cases;
  // Each text sorts strictly before the next one.
  const std::vector<std::u16string> ordered{
      u"",       u" ",       u"!",     u"0",         u"1",     u"9",      u"a",       u"A b",
      u"Ab",     u"Apfel",   u"Äpfel", u"Apfelbaum", u"Ärger", u"B",      u"Mueller", u"Muller",
      u"Müller", u"Mullers", u"o",     u"ö",         u"p",     u"Strand", u"zz",      u"Zzz"};
  for (size_t i = 0; i + 1 < ordered.size(); ++i) {
    all.push_back({ordered[i], ordered[i + 1], -1});
    all.push_back({ordered[i + 1], ordered[i], 1});
  }
  for (const Case& c : all) {
    SCOPED_TRACE(Hex(GeneralSortKey(c.a)) + "| " + Hex(GeneralSortKey(c.b)));
    EXPECT_EQ(Sign(CompareGeneral(c.a, c.b)), c.sign);
    EXPECT_EQ(Sign(GeneralSortKey(c.a).compare(GeneralSortKey(c.b))), c.sign);
  }
}

TEST(GeneralSort, KeysHaveTheTrailingSectionsAccessWrites) {
  // Inline codes, end of text, accent codes (trailing "no accent" codes dropped), end of key.
  EXPECT_EQ(Hex(GeneralSortKey(u"e")), "51 01 00 ");
  EXPECT_EQ(Hex(GeneralSortKey(u"é")), "51 01 0E 00 ");
  EXPECT_EQ(Hex(GeneralSortKey(u"éa")), "51 4A 01 0E 00 ");
  EXPECT_EQ(Hex(GeneralSortKey(u"aé")), "4A 51 01 02 0E 00 ");
  // A control character has no inline code; it is recorded with its position at the end.
  EXPECT_EQ(Hex(GeneralSortKey(u"a\x01"
                               u"b")),
            "4A 4C 01 01 01 01 80 0B 06 03 00 ");
  // NUL is ignored altogether.
  EXPECT_EQ(GeneralSortKey(std::u16string(u"a\0b", 3)), GeneralSortKey(u"ab"));
}

TEST(GeneralSort, OrderIsTotalAndConsistentOverAllCodeUnits) {
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> unit(0, 0xFFFF), latin(0x20, 0xFF), ascii(0x41, 0x43),
      len(0, 6);
  std::vector<std::u16string> texts;
  for (int i = 0; i < 3000; ++i) {
    std::u16string s;
    const int n = len(rng);
    for (int k = 0; k < n; ++k) {
      const int kind = i % 3;
      s.push_back(static_cast<char16_t>(kind == 0   ? unit(rng)
                                        : kind == 1 ? latin(rng)
                                                    : ascii(rng)));
    }
    texts.push_back(s);
  }
  const auto agree = [](const std::u16string& a, const std::u16string& b) {
    const int ab = CompareGeneral(a, b);
    EXPECT_EQ(ab, -CompareGeneral(b, a));
    EXPECT_EQ(ab, Sign(GeneralSortKey(a).compare(GeneralSortKey(b))));
  };
  for (size_t i = 0; i + 1 < texts.size(); ++i) {
    agree(texts[i], texts[i + 1]);
    // A text against its own beginnings: the shorter text ends where the other goes on.
    for (size_t k = 0; k < texts[i].size(); ++k) agree(texts[i], texts[i].substr(0, k));
  }
  std::sort(texts.begin(), texts.end(), [](const std::u16string& a, const std::u16string& b) {
    return CompareGeneral(a, b) < 0;
  });
  for (size_t i = 0; i + 2 < texts.size(); ++i) {
    ASSERT_LE(CompareGeneral(texts[i], texts[i + 1]), 0);
    ASSERT_LE(CompareGeneral(texts[i], texts[i + 2]), 0);
  }
  // Every single code unit has a key ending in the end-of-key byte.
  for (uint32_t c = 0; c <= 0xFFFF; ++c) {
    const std::string key = GeneralSortKey(std::u16string(1, static_cast<char16_t>(c)));
    ASSERT_FALSE(key.empty());
    ASSERT_EQ(key.back(), '\0') << c;
  }
}

TEST(GeneralSort, Utf8FormsAgreeAndSurviveBadInput) {
  EXPECT_EQ(jet::GeneralSortKeyUtf8("Grüße"), GeneralSortKey(u"Grüße"));
  EXPECT_EQ(jet::CompareGeneralUtf8("ÄRGER", "ärger"), 0);
  EXPECT_EQ(jet::Utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(jet::Utf8ToUtf16("\xE2\x82"), u"\uFFFD");
  EXPECT_EQ(jet::Utf8ToUtf16("\xC0\xAFx"), u"\uFFFDx");  // overlong
  EXPECT_EQ(jet::Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(jet::Utf8ToUtf16("\xFFz"), u"\uFFFDz");
}

// Access 97 keeps accents as nibbles after the letters; text without accents ends in one 00.
TEST(General97Sort, CaseInsensitiveWithAccentsAfterBaseLetters) {
  EXPECT_EQ(jet::General97SortKey(u"Müller"), jet::General97SortKey(u"MÜLLER"));
  EXPECT_EQ(Hex(jet::General97SortKey(u"abc")), "60 61 62 00 ");
  EXPECT_LT(jet::General97SortKey(u"Muller"), jet::General97SortKey(u"Müller"));
  EXPECT_LT(jet::General97SortKey(u"Müller"), jet::General97SortKey(u"Mullers"));
  // Windows-1252 letters above 0xFF sort as their single-byte forms; others are ignored.
  EXPECT_EQ(jet::General97SortKey(u"\u0160"), jet::General97SortKey(u"\u008A"));
  EXPECT_EQ(jet::General97SortKey(u"a\u4E00b"), jet::General97SortKey(u"ab"));
}

}  // namespace
