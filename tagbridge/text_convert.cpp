#include "tagbridge/text_convert.h"

#include <cstdio>
#include <new>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the sequence whose lead byte is at p. Gives the code point and the
// number of bytes it takes, or 0 bytes when the sequence is malformed. A
// continuation byte is tested before the next one is looked at, so a zero
// terminator inside a cut sequence stops the decode there.
//
//   0xxxxxxx                              U+0000..U+007F
//   110xxxxx 10xxxxxx                     U+0080..U+07FF
//   1110xxxx 10xxxxxx 10xxxxxx            U+0800..U+FFFF, not D800..DFFF
//   11110xxx 10xxxxxx 10xxxxxx 10xxxxxx   U+10000..U+10FFFF
int DecodeOne(const unsigned char* p, char32_t& cp) {
  unsigned char b = p[0];
  int len;
  char32_t min;
  if (b < 0x80) {
    cp = b;
    return 1;
  } else if ((b & 0xE0) == 0xC0) {
    len = 2, min = 0x80, cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3, min = 0x800, cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, cp = b & 0x07;
  } else {
    return 0;
  }
  for (int i = 1; i < len; ++i) {
    if (!IsContinuation(p[i])) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(const char* text) {
  std::u16string out;
  if (text == nullptr) return out;
  auto p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    char32_t cp = 0;
    int len = DecodeOne(p, cp);
    if (len == 0) {
      out += kReplacement;
      ++p;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 | (cp >> 10));
      out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
      p += len;
    } else {
      out += static_cast<char16_t>(cp);
      p += len;
    }
  }
  return out;
}

std::string Utf16ToUtf8(const char16_t* units) {
  std::string out;
  if (units == nullptr) return out;
  for (const char16_t* u = units; *u != 0; ++u) {
    char32_t cp = *u;
    if (cp >= 0xD800 && cp <= 0xDBFF && u[1] >= 0xDC00 && u[1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (u[1] - 0xDC00);
      ++u;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

int Utf8ToLocal(const char* text, std::string& out) {
  out.clear();
  std::u16string wide;
  try {
    wide = Utf8ToUtf16(text);
  } catch (const std::bad_alloc&) {
    std::fputs("Out of memory processing string from UTF8 to UNICODE16\n", stderr);
    return -1;
  }
  try {
    out = Utf16ToUtf8(wide.c_str());
  } catch (const std::bad_alloc&) {
    out.clear();
    std::fputs("Out of memory processing string to local charset\n", stderr);
    return -1;
  }
  return 0;
}

int LocalToUtf8(const char* text, std::string& out) {
  out.clear();
  if (text == nullptr || *text == 0) return -1;
  try {
    out = Utf16ToUtf8(Utf8ToUtf16(text).c_str());
  } catch (const std::bad_alloc&) {
    out.clear();
    return -1;
  }
  return 0;
}
