#include "toolkit/base64.h"

#include <cstdint>

namespace {

// The 6-bit value of an alphabet character, or -1.
int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

bool Base64Decode(std::string_view text, std::string& out) {
  out.clear();
  while (!text.empty() && text.back() == '=') text.remove_suffix(1);
  // A last group of one character carries no whole byte.
  if (text.size() % 4 == 1) return false;
  out.reserve(text.size() / 4 * 3 + 2);
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    int sextet = SextetOf(c);
    if (sextet < 0) {
      out.clear();
      return false;
    }
    bits = (bits << 6) | static_cast<uint32_t>(sextet);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return true;
}
