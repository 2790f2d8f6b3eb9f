#pragma once

// Formatting and naming tools shared by the loaders, the tracklist and the
// report: number and duration texts, file names, letter case, and the two
// rounding rules the loaders use.

#include <cstdint>
#include <string>
#include <string_view>

class TStrTools {
 public:
  // 1234567 with "." gives 1.234.567.
  std::string FormatThousands(int32_t value, const std::string& separator) const;
  // 5 with width 2 gives 05; a longer text is not cut.
  std::string ZeroPad(int32_t value, int width) const;
  // mm:ss up to and including 60 minutes, hh:mm:ss beyond; each part keeps
  // at most two digits, so 100 hours show as 10:00:00.
  std::string FormatDuration(uint32_t seconds, const std::string& separator) const;
};

class TFileTools {
 public:
  // Removes < > " ? ; : * | / from a name; the backslash and blanks stay.
  std::string CleanFileName(std::string_view text) const;
  // The folder of the running program, ending with "/".
  std::string GetAppFolder() const;
};

class TCase {
 public:
  // Lower-cases every character by the Unicode simple case mapping; the
  // number of characters never changes.
  std::string LowerCaseText(std::string_view text) const;
};

// 1 "Mono", 2 "Stereo", anything else its decimal text.
std::string ChannelCountText(int32_t channels);

// The part of a track text before the first "/" read as a whole number
// (leading blanks and a sign allowed); 0 when it is not one.
int32_t ParseTrackNumber(std::string_view text);

// A whole decimal number with optional leading blanks and sign, nothing
// after it; 0 when the text is not one or does not fit 32 bits.
int32_t ParseDecimal(std::string_view text);

// To the nearest integer, a half to the even neighbour (2.5 gives 2).
// NaN gives 0 and values out of range are clamped.
int64_t RoundEven(double value);
// To the nearest integer, a half away from zero (2.5 gives 3).
int64_t RoundAway(double value);
// Clamps a rounded value into the range of a 32-bit unsigned field.
uint32_t ClampU32(int64_t value);
int32_t ClampI32(int64_t value);

// Separators for numbers shown to the user.
struct TNumberFormat {
  std::string decimal_point = ".";
  std::string thousands_sep;  // empty: no grouping
};
// The separators of the current C locale (the user's, once the program has
// called setlocale(LC_ALL, "")).
TNumberFormat CurrentNumberFormat();

// "0.00": at least one integer digit, exactly two decimals, a half rounded
// away from zero.
std::string FormatFixed2(double value, const TNumberFormat& format = CurrentNumberFormat());
// At least four digits, grouped by threes with the thousands separator:
// 2000 gives 2,000 where the separator is a comma.
std::string FormatGrouped4(int64_t value, const TNumberFormat& format = CurrentNumberFormat());
