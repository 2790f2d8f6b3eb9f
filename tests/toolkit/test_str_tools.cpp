#include <gtest/gtest.h>

#include "toolkit/str_tools.h"
#include "toolkit/text_codec.h"

namespace {

TEST(StrTools, FormatThousandsGroupsFromTheRight) {
  TStrTools t;
  struct Case {
    int32_t value;
    const char* sep;
    const char* text;
  } cases[] = {
      {0, ".", "0"},        {123, ".", "123"},        {999, ".", "999"},
      {1000, ".", "1.000"}, {1234567, ".", "1.234.567"}, {1234, " ", "1 234"},
      {1000000, " ", "1 000 000"}, {2147483647, ",", "2,147,483,647"},
  };
  for (const auto& c : cases) EXPECT_EQ(t.FormatThousands(c.value, c.sep), c.text) << c.value;
}

TEST(StrTools, ZeroPadFillsButNeverCuts) {
  TStrTools t;
  EXPECT_EQ(t.ZeroPad(5, 2), "05");
  EXPECT_EQ(t.ZeroPad(0, 2), "00");
  EXPECT_EQ(t.ZeroPad(123, 2), "123");
  EXPECT_EQ(t.ZeroPad(7, 0), "7");
}

TEST(StrTools, FormatDurationSwitchesToHoursAfterSixtyMinutes) {
  TStrTools t;
  struct Case {
    uint32_t seconds;
    const char* text;
  } cases[] = {
      {0, "00:00"},       {61, "01:01"},       {3599, "59:59"},     {3600, "60:00"},
      {3659, "60:59"},    {3660, "01:01:00"},  {3661, "01:01:01"},  {86400, "24:00:00"},
      {360000, "10:00:00"},  // hours keep their first two digits
  };
  for (const auto& c : cases) EXPECT_EQ(t.FormatDuration(c.seconds, ":"), c.text) << c.seconds;
  EXPECT_EQ(t.FormatDuration(61, "-"), "01-01");
}

TEST(StrTools, ChannelCountText) {
  EXPECT_EQ(ChannelCountText(1), "Mono");
  EXPECT_EQ(ChannelCountText(2), "Stereo");
  EXPECT_EQ(ChannelCountText(0), "0");
  EXPECT_EQ(ChannelCountText(6), "6");
}

TEST(StrTools, ParseTrackNumberTakesTheWholeNumberBeforeTheSlash) {
  struct Case {
    const char* text;
    int32_t number;
  } cases[] = {
      {"3/12", 3}, {"07", 7},   {"A2", 0},  {"", 0},    {" 5", 5},   {"5 ", 0},
      {"12/", 12}, {"-4", -4},  {"+4", 4},  {"1.5", 0}, {"/3", 0},   {"-", 0},
      {"99999999999", 0},  // does not fit 32 bits
  };
  for (const auto& c : cases) EXPECT_EQ(ParseTrackNumber(c.text), c.number) << '"' << c.text << '"';
}

TEST(FileTools, CleanFileNameRemovesTheReservedCharacters) {
  TFileTools f;
  EXPECT_EQ(f.CleanFileName("AC/DC: Live?"), "ACDC Live");
  EXPECT_EQ(f.CleanFileName("<a>\"b\";c*d|e"), "abcde");
  // The backslash and blanks stay; other characters are kept whole.
  EXPECT_EQ(f.CleanFileName("a\\b c"), "a\\b c");
  EXPECT_EQ(f.CleanFileName("Кино: Звезда"), "Кино Звезда");
}

TEST(Case, LowerCaseTextMapsEveryCharacterAndKeepsTheCount) {
  TCase c;
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"ÄBC", "äbc"},
      {"123 -_.", "123 -_."},
      {"ΑΒΓ", "αβγ"},
      {"КИНО", "кино"},
      {"ǅ", "ǆ"},  // a title-case letter takes its lower-case form
      {"already", "already"},
      {"😀X", "😀x"},
  };
  for (const auto& r : rows) {
    std::string lower = c.LowerCaseText(r.in);
    EXPECT_EQ(lower, r.out) << r.in;
    EXPECT_EQ(Utf8Length(lower), Utf8Length(r.in)) << r.in;
  }
}

TEST(Numbers, RoundingRules) {
  EXPECT_EQ(RoundEven(1.5), 2);
  EXPECT_EQ(RoundEven(2.5), 2);
  EXPECT_EQ(RoundEven(1536.0 / 1024), 2);
  EXPECT_EQ(RoundEven(2560.0 / 1024), 2);
  EXPECT_EQ(RoundAway(2.5), 3);
  EXPECT_EQ(RoundAway(-2.5), -3);
  EXPECT_EQ(RoundAway(2.49), 2);
  EXPECT_EQ(RoundEven(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(ClampU32(RoundAway(1e30)), UINT32_MAX);
  EXPECT_EQ(ClampU32(-5), 0u);
  EXPECT_EQ(ClampI32(int64_t{1} << 40), INT32_MAX);
}

TEST(Numbers, FixedAndGroupedFormatsUseTheGivenSeparators) {
  TNumberFormat comma{",", "."};
  TNumberFormat point{".", ","};
  EXPECT_EQ(FormatFixed2(55.0123, point), "55.01");
  EXPECT_EQ(FormatFixed2(55.0123, comma), "55,01");
  EXPECT_EQ(FormatFixed2(0.125, point), "0.13");  // a half away from zero
  EXPECT_EQ(FormatFixed2(0, point), "0.00");
  EXPECT_EQ(FormatFixed2(-1.5, point), "-1.50");
  EXPECT_EQ(FormatGrouped4(2000, point), "2,000");
  EXPECT_EQ(FormatGrouped4(1000, comma), "1.000");
  EXPECT_EQ(FormatGrouped4(5, point), "0,005");
  EXPECT_EQ(FormatGrouped4(2000, TNumberFormat{".", ""}), "2000");
}

TEST(Numbers, CurrentFormatFollowsTheCLocale) {
  std::setlocale(LC_ALL, "C");
  TNumberFormat f = CurrentNumberFormat();
  EXPECT_EQ(f.decimal_point, ".");
  EXPECT_EQ(f.thousands_sep, "");
  EXPECT_EQ(FormatFixed2(3.14159), "3.14");
}

}  // namespace
