#include "tagbridge/wma_text.h"

#include "tagbridge/text_convert.h"

bool WmaReadUtf16(const uint16_t* text, size_t max, std::u16string& out) {
  out.clear();
  if (text == nullptr) return false;
  for (size_t i = 0; i < max; ++i) {
    if (text[i] == 0) return true;
    out.push_back(static_cast<char16_t>(text[i]));
  }
  out.clear();
  return false;
}

bool WmaUtf16ToUtf8(const std::u16string& text, std::string& out) {
  out.clear();
  // A lone surrogate names no character, so no UTF-8 path can spell it.
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      return false;
    }
  }
  out = Utf16ToUtf8(text.c_str());
  return true;
}
