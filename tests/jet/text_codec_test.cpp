// Text decoding: UCS-2, Jet 4's compressed form, Jet 3's code page.

#include "jet/text_codec.h"

#include <gtest/gtest.h>

#include "jet/rc4.h"

namespace jet {
namespace {

std::vector<uint8_t> B(std::initializer_list<int> bytes) {
  std::vector<uint8_t> v;
  for (int b : bytes) v.push_back(static_cast<uint8_t>(b));
  return v;
}

TEST(TextCodec, Ucs2WithSurrogatePairsAndStrayHalves) {
  EXPECT_EQ(Utf16LeToUtf8(B({'A', 0, 0xe4, 0, 0x1f, 0x04})), "AäП");
  EXPECT_EQ(Utf16LeToUtf8(B({0x3d, 0xd8, 0x00, 0xde})), "\xF0\x9F\x98\x80");  // U+1F600
  EXPECT_EQ(Utf16LeToUtf8(B({0x3d, 0xd8, 'x', 0})), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16LeToUtf8(B({'a', 0, 'b'})), "a");                     // odd last byte dropped
  EXPECT_EQ(Utf16LeToUtf8(B({'a', 0, 0x3d, 0xd8})), "a\xEF\xBF\xBD");  // high half at the end
  // A high half before another high half that pairs, and a low half alone.
  EXPECT_EQ(Utf16LeToUtf8(B({0x3d, 0xd8, 0x3d, 0xd8, 0x00, 0xde, 0x00, 0xde})),
            "\xEF\xBF\xBD\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST(TextCodec, DecodingIntoAUsedStringReplacesItsText) {
  std::string out = "a longer text from the row before, with ümlauts";
  DecodeTextInto(B({0x3d, 0xd8, 0x00, 0xde, 'x', 0, 0x3d, 0xd8}), JetVersion::kJet4, out);
  EXPECT_EQ(out, "\xF0\x9F\x98\x80x\xEF\xBF\xBD");  // a high half at the end stands alone
  DecodeTextInto(B({0xff, 0xfe, 'a', 0, 0x1c, 0x04}), JetVersion::kJet4, out);
  EXPECT_EQ(out, "aМ");
  DecodeTextInto(B({0x80, 'z'}), JetVersion::kJet3, out);
  EXPECT_EQ(out, "€z");
  DecodeTextInto(B({}), JetVersion::kJet4, out);
  EXPECT_EQ(out, "");
}

TEST(TextCodec, CompressedUnicodeTogglesOnZeroBytes) {
  // "ab" one-byte, switch, "М" (U+041C) two-byte, switch back, "c".
  EXPECT_EQ(DecodeJet4Text(B({0xff, 0xfe, 'a', 'b', 0, 0x1c, 0x04, 0, 'c'})), "abМc");
  EXPECT_EQ(DecodeJet4Text(B({0xff, 0xfe, 0xe4, 0xf6})), "äö");  // one-byte is Latin-1
  EXPECT_EQ(DecodeJet4Text(B({0xff, 0xfe})), "");
  EXPECT_EQ(DecodeJet4Text(B({0xff, 0xfe, 0, 0x41})), "");  // a lone byte in two-byte mode
  EXPECT_EQ(DecodeJet4Text(B({0xff, 0x00})), "\xC3\xBF");   // no marker: plain UCS-2 "ÿ"
}

// Short texts (fields) and long ones (memos) are decoded along different paths; both must give
// the same characters, one, two and three UTF-8 bytes long.
TEST(TextCodec, ShortAndLongTextDecodeAlike) {
  const std::vector<uint8_t> piece = B({'a', 0, 0xfc, 0, 0xac, 0x20, 0x1c, 0x04});  // aü€М
  const std::string piece_text = "aü€М";
  const std::vector<uint8_t> compressed = B({'a', 0xfc, 0, 0xac, 0x20, 0x1c, 0x04, 0});
  for (size_t repeat : {size_t{1}, size_t{100}, size_t{1000}}) {
    std::vector<uint8_t> ucs2, packed = {0xff, 0xfe};
    std::string expected;
    for (size_t i = 0; i < repeat; ++i) {
      ucs2.insert(ucs2.end(), piece.begin(), piece.end());
      packed.insert(packed.end(), compressed.begin(), compressed.end());
      expected += piece_text;
    }
    EXPECT_EQ(DecodeJet4Text(ucs2), expected) << repeat;
    EXPECT_EQ(DecodeJet4Text(packed), expected) << repeat;
  }
}

TEST(TextCodec, Cp1252IncludingItsHighRow) {
  EXPECT_EQ(Cp1252ToUtf8(B({'M', 0xfc, 'n', 'z', 'e', ' ', 0x80, ' ', 0x93, 'x', 0x94})),
            "Münze € “x”");
  // 0x81, 0x8D, 0x8F, 0x90 and 0x9D are undefined in cp1252; Windows converts them to the C1
  // controls of the same value, and so do we. The oracles disagree with each other here: on
  // jet3/testIndexCodesV1997.mdb (Table1, row129 "AA\x81AA") mdb-export prints "AA?AA" and
  // mdb-reader "AA\uFFFDAA".
  EXPECT_EQ(Cp1252ToUtf8(B({0x81})), "\xC2\x81");
  EXPECT_EQ(DecodeText(B({0xe4}), JetVersion::kJet3), "ä");
  EXPECT_EQ(DecodeText(B({0xe4, 0}), JetVersion::kJet4), "ä");
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
