#include "toolkit/str_tools.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <limits>
#include <locale.h>

#include "toolkit/program_info.h"
#include "toolkit/text_codec.h"

std::string TStrTools::FormatThousands(int32_t value, const std::string& separator) const {
  std::string digits = std::to_string(value);
  size_t sign = (!digits.empty() && digits[0] == '-') ? 1 : 0;
  std::string out;
  size_t n = digits.size() - sign;
  out.append(digits, 0, sign);
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out.push_back(digits[sign + i]);
  }
  return out;
}

std::string TStrTools::ZeroPad(int32_t value, int width) const {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  return text;
}

std::string TStrTools::FormatDuration(uint32_t seconds, const std::string& separator) const {
  uint32_t minutes = seconds / 60;
  uint32_t secs = seconds % 60;
  uint32_t hours = 0;
  if (minutes > 60) {
    hours = minutes / 60;
    minutes %= 60;
  }
  auto two = [this](uint32_t v) { return ZeroPad(static_cast<int32_t>(v), 2).substr(0, 2); };
  if (hours == 0) return two(minutes) + separator + two(secs);
  return two(hours) + separator + two(minutes) + separator + two(secs);
}

std::string TFileTools::CleanFileName(std::string_view text) const {
  static constexpr std::string_view kRemoved = "<>\"?;:*|/";
  std::string out;
  for (char c : text)
    if (kRemoved.find(c) == std::string_view::npos) out.push_back(c);
  return out;
}

std::string TFileTools::GetAppFolder() const { return ProgramFolder(); }

namespace {

// Unicode case mapping through the C library's tables; C.UTF-8 carries the
// full Unicode character data on the systems this runs on.
locale_t Utf8CaseLocale() {
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(0));
    return l;
  }();
  return loc;
}

char32_t LowerOf(char32_t cp) {
  locale_t loc = Utf8CaseLocale();
  if (loc != static_cast<locale_t>(0)) return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), loc));
  return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
}

}  // namespace

std::string TCase::LowerCaseText(std::string_view text) const {
  std::u16string units = Utf8ToUtf16(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    AppendUtf8(out, LowerOf(u));
  }
  return out;
}

std::string ChannelCountText(int32_t channels) {
  if (channels == 1) return "Mono";
  if (channels == 2) return "Stereo";
  return std::to_string(channels);
}

int32_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return 0;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return 0;
  return static_cast<int32_t>(value);
}

int32_t ParseTrackNumber(std::string_view text) {
  size_t slash = text.find('/');
  return ParseDecimal(slash == std::string_view::npos ? text : text.substr(0, slash));
}

namespace {
constexpr double kInt64Limit = 9.2e18;
}

int64_t RoundEven(double value) {
  if (std::isnan(value)) return 0;
  if (value > kInt64Limit) value = kInt64Limit;
  if (value < -kInt64Limit) value = -kInt64Limit;
  return static_cast<int64_t>(std::nearbyint(value));  // default rounding: to nearest, ties to even
}

int64_t RoundAway(double value) {
  if (std::isnan(value)) return 0;
  if (value > kInt64Limit) value = kInt64Limit;
  if (value < -kInt64Limit) value = -kInt64Limit;
  return static_cast<int64_t>(std::round(value));
}

uint32_t ClampU32(int64_t value) {
  if (value < 0) return 0;
  if (value > static_cast<int64_t>(std::numeric_limits<uint32_t>::max())) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(value);
}

int32_t ClampI32(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

TNumberFormat CurrentNumberFormat() {
  TNumberFormat format;
  const lconv* lc = std::localeconv();
  if (lc != nullptr) {
    if (lc->decimal_point != nullptr && *lc->decimal_point != '\0') format.decimal_point = lc->decimal_point;
    if (lc->thousands_sep != nullptr) format.thousands_sep = lc->thousands_sep;
  }
  return format;
}

std::string FormatFixed2(double value, const TNumberFormat& format) {
  if (!std::isfinite(value)) value = 0;
  // Work in hundredths so the half rounds away from zero, not by binary digits.
  int64_t hundredths = RoundAway(value * 100.0);
  bool negative = hundredths < 0;
  uint64_t magnitude = negative ? static_cast<uint64_t>(-(hundredths + 1)) + 1 : static_cast<uint64_t>(hundredths);
  char frac[4];
  std::snprintf(frac, sizeof frac, "%02u", static_cast<unsigned>(magnitude % 100));
  return (negative ? "-" : "") + std::to_string(magnitude / 100) + format.decimal_point + frac;
}

std::string FormatGrouped4(int64_t value, const TNumberFormat& format) {
  bool negative = value < 0;
  std::string digits = std::to_string(negative ? -value : value);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  std::string out = negative ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += format.thousands_sep;
    out.push_back(digits[i]);
  }
  return out;
}
