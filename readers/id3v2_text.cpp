#include "readers/id3v2_text.h"

#include <cstdint>

#include "toolkit/text_codec.h"
#include "readers/id3v1.h"

namespace {

bool IsUtf16(uint8_t encoding) { return encoding == 1 || encoding == 2; }

// UTF-16 up to the first zero unit. A leading byte-order mark decides the
// byte order and is dropped; without one the encoding's default holds.
std::string Utf16Text(std::string_view bytes, bool big_endian) {
  if (bytes.size() >= 2) {
    auto a = static_cast<uint8_t>(bytes[0]);
    auto b = static_cast<uint8_t>(bytes[1]);
    if ((a == 0xFF && b == 0xFE) || (a == 0xFE && b == 0xFF)) {
      big_endian = a == 0xFE;
      bytes.remove_prefix(2);
    }
  }
  std::u16string units = Utf16FromBytes(bytes, big_endian);
  if (size_t zero = units.find(u'\0'); zero != std::u16string::npos) units.resize(zero);
  return Utf16ToUtf8(units);
}

// The text after an encoding byte. Single-byte and UTF-8 texts keep inner
// zero bytes (version 2.4 separates several values with them); only the
// ends are trimmed, and an unknown encoding byte above 20 hex is kept as
// the first character, as a text without encoding byte would be.
std::string DecodeAs(uint8_t encoding, std::string_view body) {
  if (IsUtf16(encoding)) return TrimControls(Utf16Text(body, encoding == 2));
  if (encoding == 3) {
    std::string trimmed = TrimControls(body);
    return IsValidUtf8(trimmed) ? trimmed : Utf16ToUtf8(Utf8ToUtf16(trimmed));
  }
  if (encoding > 0x20) return Cp1252ToUtf8(TrimControls(std::string(1, static_cast<char>(encoding)) + std::string(body)));
  return Cp1252ToUtf8(TrimControls(body));
}

struct TSplit {
  std::string_view Description;
  std::string_view Text;
};

// The description ends with the encoding's terminator: a zero unit at an
// even offset for UTF-16, else one zero byte. Without a terminator the text
// is all of it (UTF-16: less its first byte).
TSplit SplitAtTerminator(uint8_t encoding, std::string_view rest) {
  if (IsUtf16(encoding)) {
    for (size_t i = 0; i + 1 < rest.size(); i += 2)
      if (rest[i] == '\0' && rest[i + 1] == '\0') return {rest.substr(0, i), rest.substr(i + 2)};
    return {{}, rest.substr(rest.empty() ? 0 : 1)};
  }
  if (size_t zero = rest.find('\0'); zero != std::string_view::npos) return {rest.substr(0, zero), rest.substr(zero + 1)};
  return {{}, rest};
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 3) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The genre name of a number of at most three digits, or empty.
std::string GenreOfNumber(std::string_view digits) {
  int n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n < kGenreCount ? GenreName(static_cast<uint8_t>(n)) : std::string();
}

}  // namespace

std::string DecodeText(std::string_view data) {
  if (data.empty()) return {};
  return DecodeAs(static_cast<uint8_t>(data[0]), data.substr(1));
}

TDescribedText SplitDescribed(std::string_view data, bool WithLanguage) {
  TDescribedText out;
  if (data.empty()) return out;
  auto encoding = static_cast<uint8_t>(data[0]);
  size_t skip = WithLanguage ? 4 : 1;
  if (WithLanguage) out.Language = std::string(data.substr(1, 3));
  std::string_view rest = data.size() > skip ? data.substr(skip) : std::string_view();
  TSplit split = SplitAtTerminator(encoding, rest);
  out.Description = DecodeAs(encoding, split.Description);
  out.Text = DecodeAs(encoding, split.Text);
  return out;
}

std::string DecodeDescribed(std::string_view data, bool WithLanguage) { return SplitDescribed(data, WithLanguage).Text; }

std::string DecodeLink(std::string_view data) {
  if (data.empty()) return {};
  TSplit split = SplitAtTerminator(static_cast<uint8_t>(data[0]), data.substr(1));
  return DecodeAs(0, split.Text);
}

// Version 2.3 refers to ID3v1 genres as "(13)", possibly several, possibly
// followed by a refinement: "(13)Pop", "(13)(17)". Version 2.4 writes the
// bare number. A text that does not start with "(" is a genre name of its
// own, parentheses included ("Rock (Live)").
std::string ResolveGenre(const std::string& text) {
  if (AllDigits(text) && !GenreOfNumber(text).empty()) return GenreOfNumber(text);
  if (text.empty() || text[0] != '(') return text;
  std::string_view rest(text);
  std::string_view first;
  bool any = false;
  while (!rest.empty() && rest[0] == '(') {
    size_t close = rest.find(')');
    if (close == std::string_view::npos) break;
    if (!any) first = rest.substr(1, close - 1);
    any = true;
    rest.remove_prefix(close + 1);
  }
  if (!rest.empty()) return std::string(rest);
  return AllDigits(first) ? GenreOfNumber(first) : std::string();
}
