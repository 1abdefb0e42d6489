// Like with Access wildcards, and the General collation.

#include <random>
#include <string>
#include <vector>

#include "jet/general_sort.h"
#include "jetsql/like.h"
#include "jetsql/text_util.h"
#include "sql_fixture.h"

namespace jetsql::testing {
namespace {

class LikeTest : public SqlFixture {
 protected:
  std::string Like(const std::string& text, const std::string& pattern) {
    return Eval("jet_like('" + text + "', 10, '" + pattern + "', 10)");
  }
};

TEST_F(LikeTest, PatternsHostilePatternsAndTheCollation) {
  // Wildcards.
  EXPECT_EQ(Like("Hallo", "h*"), "-1");
  EXPECT_EQ(Like("abc", "a?c"), "-1");
  EXPECT_EQ(Like("ac", "a?c"), "0");
  EXPECT_EQ(Like("a1c", "a#c"), "-1");
  EXPECT_EQ(Like("abc", "a#c"), "0");
  EXPECT_EQ(Like("", "*"), "-1");
  EXPECT_EQ(Like("", "?"), "0");
  EXPECT_EQ(Like("Ärger", "ä*"), "-1");
  EXPECT_EQ(Like("abcabc", "*b?"), "-1");
  EXPECT_EQ(Like("abcab", "*b?"), "0");
  // Patterns of letters and stars alone take a path of their own: each run of letters at its
  // first place, without regard to case, Umlauts and other scripts included.
  EXPECT_EQ(Like("Bäckerei MÜLLER GmbH", "*müller*"), "-1");
  EXPECT_EQ(Like("Müller", "*MÜLLER"), "-1");
  EXPECT_EQ(Like("Mueller", "*müller*"), "0");
  EXPECT_EQ(Like("ΑΘΗΝΑ", "*θην*"), "-1");
  EXPECT_EQ(Like("Москва", "мос*"), "-1");
  EXPECT_EQ(Like("ababa", "*aba"), "-1");
  EXPECT_EQ(Like("aba", "ab*ba"), "0");  // the runs may not overlap
  EXPECT_EQ(Like("a", "a*a"), "0");
  EXPECT_EQ(Like("xay", "*a*a*"), "0");
  EXPECT_EQ(Like("xaya", "*a*a*"), "-1");
  EXPECT_EQ(Like("abcd", "abc"), "0");
  EXPECT_EQ(Like("", "**"), "-1");
  EXPECT_EQ(Like("", ""), "-1");
  EXPECT_EQ(Like("x", ""), "0");
  EXPECT_EQ(Like("Straße", "*SSE"), "0");
  EXPECT_EQ(Like("Straße", "*ße"), "-1");
  // Character lists and literal wildcards.
  EXPECT_EQ(Like("b", "[a-c]"), "-1");
  EXPECT_EQ(Like("B", "[a-c]"), "-1");
  EXPECT_EQ(Like("d", "[a-c]"), "0");
  EXPECT_EQ(Like("d", "[!a-c]"), "-1");
  EXPECT_EQ(Like("b", "[!a-c]"), "0");
  EXPECT_EQ(Like("x-", "x[-]"), "-1");
  EXPECT_EQ(Like("*", "[*]"), "-1");
  EXPECT_EQ(Like("a?", "a[?]"), "-1");
  EXPECT_EQ(Like("1#", "1[#]"), "-1");
  EXPECT_EQ(Like("abc", "a[]bc"), "-1");
  EXPECT_EQ(Like("[", "[[]"), "-1");
  // Percent and underscore are ordinary.
  EXPECT_EQ(Like("100%", "100%"), "-1");
  EXPECT_EQ(Like("a_c", "a_c"), "-1");
  EXPECT_EQ(Like("abc", "a_c"), "0");
  // Nulls, numbers and bad patterns.
  EXPECT_EQ(Eval("jet_like(NULL, 0, 'a', 10)"), "NULL");
  EXPECT_EQ(Eval("jet_like('a', 10, NULL, 0)"), "NULL");
  EXPECT_EQ(Eval("jet_like(123, 4, '1*', 10)"), "-1");
  EXPECT_EQ(Like("a", "[a"), "error: jet:93:Ungültige Musterzeichenfolge.");
  EXPECT_EQ(Like("a", "[z-a]"), "error: jet:93:Ungültige Musterzeichenfolge.");
  // Hostile patterns finish.
  std::string text(2000, 'a');
  std::string pattern;
  for (int i = 0; i < 200; ++i) pattern += "*a";
  LikePattern p(pattern + "*b");
  EXPECT_FALSE(p.Matches(text));
  EXPECT_TRUE(LikePattern(pattern + "*").Matches(text));
  EXPECT_FALSE(LikePattern(std::string(3000, '?')).Matches(text));
  // Like over a table reuses the compiled pattern.
  Exec("CREATE TABLE t(s); INSERT INTO t VALUES ('Anna'), ('anton'), ('Bert'), (NULL), ('ANKE')");
  EXPECT_EQ(Eval("SELECT count(*) FROM t WHERE jet_like(s, 10, 'an*', 10)"), "3");
  EXPECT_EQ(Eval("SELECT group_concat(s, ',') FROM t WHERE jet_like(s, 10, '*e*', 10)"),
            "Bert,ANKE");
  // Collation orders and groups.
  Exec("CREATE TABLE n(s); INSERT INTO n VALUES ('b'), ('A'), ('Äb'), ('a'), ('c'), ('ab')");
  EXPECT_EQ(Eval("SELECT count(DISTINCT s COLLATE jet_general) FROM n"), "5");
  EXPECT_EQ(Eval("SELECT group_concat(lower(s), ',') FROM "
                 "(SELECT s FROM n ORDER BY s COLLATE jet_general, s)"),
            "a,a,ab,Äb,b,c");
  EXPECT_EQ(Eval("SELECT 'ABC' = 'abc' COLLATE jet_general"), "1");
}

TEST(GeneralOrderTest, CaseNeverMattersAndAccentsSortWithTheirLetter) {
  EXPECT_EQ(CompareGeneral("abc", "ABC"), 0);
  EXPECT_LT(CompareGeneral("a", "B"), 0);
  EXPECT_LT(CompareGeneral("Äpfel", "Birnen"), 0);
  EXPECT_LT(CompareGeneral("Apfel", "Äpfel"), 0);  // accents only break ties
  EXPECT_LT(CompareGeneral("Äpfel", "Apfelz"), 0);
  EXPECT_EQ(CompareGeneral("ÄPFEL", "äpfel"), 0);
  EXPECT_EQ(CompareGeneral("Strasse", "Straße"), 0);
  EXPECT_LT(CompareGeneral("Straße", "Strassf"), 0);  // ß sorts as "ss"
  EXPECT_LT(CompareGeneral("coop", "cop"), 0);
  EXPECT_LT(CompareGeneral("co-op", "cop"), 0);  // the hyphen is ignored first
  EXPECT_NE(CompareGeneral("co-op", "coop"), 0);
  EXPECT_LT(CompareGeneral("ab", "abc"), 0);
  EXPECT_LT(CompareGeneral("", "a"), 0);
}

TEST(GeneralOrderTest, ShortcutsAgreeWithTheEngineSortKeys) {
  // Texts that share beginnings, in letters of both cases, accents, ignored and control
  // characters, and a character outside the basic plane.
  const std::vector<std::string> pieces = {
      "a", "S", "s", "ch", "ö", "-", "'", " ", "\x01", "ß", "9", "\xF0\x9F\x98\x80", "Z", "é"};
  std::mt19937 rng(7);
  std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1), len(0, 5);
  for (int i = 0; i < 4000; ++i) {
    std::string a, b;
    for (size_t k = len(rng); k > 0; --k) a += pieces[piece(rng)];
    b = a.substr(0, a.size() * (i % 4) / 4);  // a beginning of a, cut at any byte
    for (size_t k = i % 3; k > 0; --k) b += pieces[piece(rng)];
    const int expected = jet::GeneralSortKeyUtf8(a).compare(jet::GeneralSortKeyUtf8(b));
    ASSERT_EQ(CompareGeneral(a, b), expected < 0 ? -1 : expected > 0 ? 1 : 0) << a << " | " << b;
  }
}

}  // namespace
}  // namespace jetsql::testing
