#include <gtest/gtest.h>

#include "toolkit/text_codec.h"

namespace {

TEST(TextCodec, Cp1252DecodesEveryByte) {
  EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
  EXPECT_EQ(Cp1252ToUtf8("\xE9t\xE9"), "été");
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "€");
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "Ÿ");
  EXPECT_EQ(Cp1252ToUtf8("\xFF"), "ÿ");
  // Undefined bytes keep their C1 value rather than vanishing.
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextCodec, Utf16JoinsSurrogatePairsAndReplacesLoneOnes) {
  EXPECT_EQ(Utf16ToUtf8(u"Hi é €"), "Hi é €");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "😀");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD83D))), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDE00), u'a'}), "\xEF\xBF\xBD" "a");
}

TEST(TextCodec, Utf16FromBytesInBothOrders) {
  EXPECT_EQ(Utf16FromBytes(std::string("S\0o\0", 4), false), u"So");
  EXPECT_EQ(Utf16FromBytes(std::string("\0S\0o", 4), true), u"So");
  EXPECT_EQ(Utf16FromBytes(std::string("S\0o", 3), false), u"S");  // a last odd byte is ignored
}

TEST(TextCodec, Utf8ToUtf16HandlesFourByteAndMalformedSequences) {
  EXPECT_EQ(Utf8ToUtf16("😀A"), (std::u16string{char16_t(0xD83D), char16_t(0xDE00), u'A'}));
  EXPECT_EQ(Utf8ToUtf16("\xC3\xA9"), u"é");
  // A malformed byte becomes U+FFFD and decoding goes on at the next byte.
  EXPECT_EQ(Utf8ToUtf16("a\xC3" "b"), (std::u16string{u'a', char16_t(0xFFFD), u'b'}));
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), (std::u16string{char16_t(0xFFFD), char16_t(0xFFFD)}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), (std::u16string{char16_t(0xFFFD), char16_t(0xFFFD)}));  // overlong
}

TEST(TextCodec, Utf8LeftNeverCutsACharacter) {
  EXPECT_EQ(Utf8Length("äöü😀"), 4u);
  EXPECT_EQ(Utf8Left("äöü😀x", 4), "äöü😀");
  EXPECT_EQ(Utf8Left("ab", 5), "ab");
  EXPECT_EQ(Utf8Left("ééééééééééééé", 12), "éééééééééééé");
  EXPECT_TRUE(IsValidUtf8("äöü😀"));
  EXPECT_FALSE(IsValidUtf8("\xFF"));
}

TEST(TextCodec, TrimControls) {
  EXPECT_EQ(TrimControls(std::string("\0 \tab c\r\n\0", 10)), "ab c");
  EXPECT_EQ(TrimControls("   "), "");
  EXPECT_EQ(TrimTrailingControls(std::string(" a\0b\0\0 ", 7)), std::string(" a\0b", 4));
}

}  // namespace
