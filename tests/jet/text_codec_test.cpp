// Text in its stored forms: UCS-2, Jet 4's compressed form, Jet 3's code page; and text into
// Jet 4's stored form, compressed exactly when that is shorter.

#include "jet/text_codec.h"

#include <gtest/gtest.h>

#include "jet/rc4.h"
#include "jet/text_encoder.h"

namespace jet {
namespace {

std::vector<uint8_t> B(std::initializer_list<int> bytes) {
  std::vector<uint8_t> v;
  for (int b : bytes) v.push_back(static_cast<uint8_t>(b));
  return v;
}

TEST(TextCodec, DecodesEveryStoredForm) {
  struct Case {
    std::vector<uint8_t> bytes;
    JetVersion version;
    std::string text;
  };
  const JetVersion k4 = JetVersion::kJet4, k3 = JetVersion::kJet3;
  const std::vector<Case> cases = {
      // UCS-2 with surrogate pairs and stray halves.
      {B({'A', 0, 0xe4, 0, 0x1f, 0x04}), k4, "AäП"},
      {B({0x3d, 0xd8, 0x00, 0xde}), k4, "\xF0\x9F\x98\x80"},  // U+1F600
      {B({0x3d, 0xd8, 'x', 0}), k4, "\xEF\xBF\xBDx"},
      {B({'a', 0, 'b'}), k4, "a"},                           // odd last byte dropped
      {B({'a', 0, 0x3d, 0xd8}), k4, "a\xEF\xBF\xBD"},        // high half at the end
      {B({0x3d, 0xd8, 0x3d, 0xd8, 0x00, 0xde, 0x00, 0xde}),  // unpaired high, pair, lone low
       k4, "\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD"},
      // Compressed: "ab" one-byte, switch, "М" (U+041C) two-byte, switch back, "c".
      {B({0xff, 0xfe, 'a', 'b', 0, 0x1c, 0x04, 0, 'c'}), k4, "abМc"},
      {B({0xff, 0xfe, 0xe4, 0xf6}), k4, "äö"},  // one-byte is Latin-1
      {B({0xff, 0xfe}), k4, ""},
      {B({0xff, 0xfe, 0, 0x41}), k4, ""},  // a lone byte in two-byte mode
      {B({0xff, 0x00}), k4, "\xC3\xBF"},   // no marker: plain UCS-2 "ÿ"
      {B({}), k4, ""},
      // Code page 1252 with its high row. 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined there;
      // Windows converts them to the C1 controls of the same value, and so do we. The oracles
      // disagree with each other here: on jet3/testIndexCodesV1997.mdb (Table1, row129
      // "AA\x81AA") mdb-export prints "AA?AA" and mdb-reader "AA\uFFFDAA".
      {B({'M', 0xfc, 'n', 'z', 'e', ' ', 0x80, ' ', 0x93, 'x', 0x94}), k3, "Münze € “x”"},
      {B({0x81}), k3, "\xC2\x81"},
  };
  // Decoding into a used string replaces its text.
  std::string out = "a longer text from the row before, with ümlauts";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DecodeTextInto(c.bytes, c.version, out);
    EXPECT_EQ(out, c.text);
  }
}

// Text written compressed or not is read back by mdbtools and mdb-reader in tests/oracle; here the
// choices they cannot see: compressed from three one-byte characters on (the marker costs two
// bytes), a switch only for runs worth it, and never a character whose zero low byte would read
// as a switch.
TEST(TextEncoder, CompressesOnlyWhenShorter) {
  for (const auto& [text, size] :
       std::vector<std::pair<std::string, size_t>>{{"ab", 4},
                                                   {"abc", 5},
                                                   {"日本語", 6},
                                                   {"abcdef日ghijkl", 2 + 6 + 1 + 2 + 1 + 6},
                                                   {"abcdef一", 14},
                                                   {"abcdefĀ", 14},
                                                   {"x日本語yz", 12}}) {
    SCOPED_TRACE(text);
    const std::vector<uint8_t> packed = EncodeJet4Text(Utf8ToUtf16(text), true);
    EXPECT_EQ(packed.size(), size);
    EXPECT_EQ(DecodeJet4Text(packed), text);
  }
}

TEST(Rc4, MatchesThePublishedTestVector) {
  std::vector<uint8_t> data = {'P', 'l', 'a', 'i', 'n', 't', 'e', 'x', 't'};
  std::vector<uint8_t> key = {'K', 'e', 'y'};
  Rc4Apply(key, data);
  EXPECT_EQ(data, B({0xbb, 0xf3, 0x16, 0xe8, 0xd9, 0x40, 0xaf, 0x0a, 0xd3}));
  Rc4Apply(key, data);
  EXPECT_EQ(std::string(data.begin(), data.end()), "Plaintext");
}

}  // namespace
}  // namespace jet
