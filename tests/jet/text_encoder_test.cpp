// Text into Jet 4's stored form and back: every mix of one-byte and two-byte characters survives
// the round trip, and the compressed form is chosen exactly when it is shorter.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/text_codec.h"
#include "jet/text_encoder.h"

namespace {

using jet::DecodeJet4Text;
using jet::EncodeJet4Text;
using jet::Utf8ToUtf16;

TEST(TextEncoder, RoundTripsMixedTextCompressedOrNot) {
  const std::vector<std::string> texts = {"",
                                          "a",
                                          "ab",
                                          "abc",
                                          "Grüße aus Köln",
                                          "日本語",
                                          "a日b",
                                          "abc日def",
                                          "日abc",
                                          "日ab",
                                          "x日本語yz",
                                          "€uro",
                                          "😀 emoji",
                                          "tab\tnew\nline",
                                          std::string(300, 'q') + "日",
                                          "ÿ\x7f",
                                          "ab日cd本efgh語ijklmnop"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    std::u16string units = Utf8ToUtf16(text);
    std::vector<uint8_t> plain = EncodeJet4Text(units, false);
    std::vector<uint8_t> packed = EncodeJet4Text(units, true);
    EXPECT_EQ(plain.size(), units.size() * 2);
    EXPECT_LE(packed.size(), plain.size());
    EXPECT_EQ(DecodeJet4Text(plain), text);
    EXPECT_EQ(DecodeJet4Text(packed), text);
  }
}

TEST(TextEncoder, CompressesWhenShorterAndSwitchesOnlyForRuns) {
  // One-byte text is compressed from three characters on (the marker costs two bytes).
  EXPECT_EQ(EncodeJet4Text(u"ab", true).size(), 4u);
  EXPECT_EQ(EncodeJet4Text(u"abc", true), (std::vector<uint8_t>{0xff, 0xfe, 'a', 'b', 'c'}));
  // Text of two-byte characters only stays plain.
  EXPECT_EQ(EncodeJet4Text(u"日本語", true).size(), 6u);
  // A long Latin run between two-byte characters switches modes: marker, run, switch, 日, switch.
  std::vector<uint8_t> mixed = EncodeJet4Text(u"abcdef日ghijkl", true);
  EXPECT_EQ(mixed.size(), 2u + 6u + 1u + 2u + 1u + 6u);
  // Invalid UTF-8 becomes U+FFFD rather than being dropped.
  EXPECT_EQ(Utf8ToUtf16("a\xff"
                        "b"),
            u"a\ufffdb");
  EXPECT_EQ(Utf8ToUtf16("\xe6\x97"), u"\ufffd");
}

}  // namespace
