#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tagbridge/text_convert.h"

namespace {

struct DecodeCase {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

TEST(TextConvert, Utf8ToUtf16DecodesEveryLengthAndReplacesMalformedSequences) {
  const DecodeCase cases[] = {
      {"ascii", "AB", u"AB"},
      {"two bytes", "\xC3\xA9", u"\u00E9"},
      {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
      {"four bytes then ascii", "\xF0\x9F\x98\x80" "AB", {0xD83D, 0xDE00, 0x41, 0x42}},
      {"cjk extension b", "\xF0\xA0\x80\x80", {0xD840, 0xDC00}},
      {"highest code point", "\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}},
      {"stray continuation", "\x80" "A", {0xFFFD, 0x41}},
      {"lead without continuation", "\xC3" "A", {0xFFFD, 0x41}},
      {"three-byte lead cut after one", "\xE2\x82" "A", {0xFFFD, 0xFFFD, 0x41}},
      {"overlong slash", "\xC0\xAF", {0xFFFD, 0xFFFD}},
      {"overlong three bytes", "\xE0\x80\xAF", {0xFFFD, 0xFFFD, 0xFFFD}},
      {"encoded surrogate", "\xED\xA0\x80", {0xFFFD, 0xFFFD, 0xFFFD}},
      {"above U+10FFFF", "\xF4\x90\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
      {"invalid lead bytes", "\xF8\xFF", {0xFFFD, 0xFFFD}},
      {"empty", "", u""},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8.c_str()), c.utf16) << c.name;
}

TEST(TextConvert, CutSequencesStopAtTheTerminator) {
  // Each buffer ends right after its zero byte, so a read past it is seen
  // by the address sanitizer; the bytes after a zero are never decoded.
  for (std::vector<char> bytes : {std::vector<char>{'\xE2', '\0'}, std::vector<char>{'\xF0', '\x9F', '\0'},
                                  std::vector<char>{'\xF0', '\x9F', '\x98', '\0'}}) {
    std::u16string units = Utf8ToUtf16(bytes.data());
    EXPECT_EQ(units, std::u16string(bytes.size() - 1, u'\uFFFD'));
  }
  std::vector<char> inner = {'\xC3', '\0', '\xA9', '\0'};
  EXPECT_EQ(Utf8ToUtf16(inner.data()), u"\uFFFD");
}

TEST(TextConvert, Utf16ToUtf8JoinsSurrogatePairsAndReplacesLoneOnes) {
  struct Case {
    std::u16string utf16;
    std::string utf8;
  } cases[] = {
      {u"\u00E9", "\xC3\xA9"},
      {u"\u20AC", "\xE2\x82\xAC"},
      {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
      {{0xD83D, 0x41}, "\xEF\xBF\xBD" "A"},
      {{0xDE00, 0x41}, "\xEF\xBF\xBD" "A"},
      {{0x41, 0xD83D}, "A\xEF\xBF\xBD"},
      {{0xDE00, 0xD83D}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16.c_str()), c.utf8);
}

TEST(TextConvert, LocalConversionsPassUtf8ThroughUnchanged) {
  const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF0\xA0\x80\x80";  // Aé€😀𠀀
  std::string out = "stale";
  EXPECT_EQ(Utf8ToLocal(text.c_str(), out), 0);
  EXPECT_EQ(out, text);
  EXPECT_EQ(LocalToUtf8(text.c_str(), out), 0);
  EXPECT_EQ(out, text);
}

TEST(TextConvert, LocalConversionsReplaceMalformedBytes) {
  std::string out;
  EXPECT_EQ(Utf8ToLocal("a\xFF" "b", out), 0);
  EXPECT_EQ(out, "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(LocalToUtf8("\xC3(", out), 0);
  EXPECT_EQ(out, "\xEF\xBF\xBD(");
}

TEST(TextConvert, EmptyTextConvertsToLocalButNotBack) {
  std::string out = "stale";
  EXPECT_EQ(Utf8ToLocal("", out), 0);
  EXPECT_EQ(out, "");
  out = "stale";
  EXPECT_EQ(LocalToUtf8("", out), -1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(LocalToUtf8(nullptr, out), -1);
}

}  // namespace
