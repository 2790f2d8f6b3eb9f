#include "toolkit/text_codec.h"

#include <cstdint>

namespace {

// Windows-1252 80..9F; the undefined 81, 8D, 8F, 90 and 9D keep their C1 value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

// Length of the UTF-8 sequence starting at text[i] and its code point, or 0
// when the bytes there are not a well-formed sequence.
size_t DecodeUtf8At(std::string_view text, size_t i, char32_t& cp) {
  auto b = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  uint8_t lead = b(i);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  size_t len;
  char32_t min;
  if ((lead & 0xE0) == 0xC0) {
    len = 2, min = 0x80, cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    len = 3, min = 0x800, cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, cp = lead & 0x07;
  } else {
    return 0;
  }
  if (len > text.size() - i) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    uint8_t b = static_cast<uint8_t>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else if (b < 0xA0) {
      AppendUtf8(out, kCp1252High[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      char32_t low = units[++i];
      AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
    } else {
      AppendUtf8(out, u);  // a lone surrogate becomes U+FFFD there
    }
  }
  return out;
}

std::u16string Utf16FromBytes(std::string_view bytes, bool big_endian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint8_t a = static_cast<uint8_t>(bytes[i]);
    uint8_t b = static_cast<uint8_t>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(big_endian ? (a << 8) | b : (b << 8) | a));
  }
  return units;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char32_t cp;
    size_t len = DecodeUtf8At(text, i, cp);
    if (len == 0) {
      cp = kReplacement;
      len = 1;
    }
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++count) {
    char32_t cp;
    size_t len = DecodeUtf8At(text, i, cp);
    i += len == 0 ? 1 : len;
  }
  return count;
}

std::string Utf8Left(std::string_view text, size_t n) {
  size_t i = 0;
  for (size_t count = 0; i < text.size() && count < n; ++count) {
    char32_t cp;
    size_t len = DecodeUtf8At(text, i, cp);
    i += len == 0 ? 1 : len;
  }
  return std::string(text.substr(0, i));
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    char32_t cp;
    size_t len = DecodeUtf8At(text, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string TrimControls(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<uint8_t>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<uint8_t>(text[end - 1]) <= 0x20) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string TrimTrailingControls(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && static_cast<uint8_t>(text[end - 1]) <= 0x20) --end;
  return std::string(text.substr(0, end));
}
