// Reading a file's attributes through the exports, for the tag bridge tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tagbridge/orva_tags.h"

namespace wmatest {

struct Attr {
  std::u16string Name;
  int32_t Type;
  std::string Value;
  bool operator==(const Attr&) const = default;
};

// For readable failures: name, type and the value's length.
inline void PrintTo(const Attr& a, std::ostream* os) {
  *os << "{" << std::string(a.Name.begin(), a.Name.end()) << ", type " << a.Type << ", " << a.Value.size()
      << " bytes}";
}

// ASCII text (a path, a name) as the zero-terminated UTF-16 the exports take.
inline std::u16string U(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }
inline const uint16_t* P(const std::u16string& s) { return reinterpret_cast<const uint16_t*>(s.c_str()); }

inline Attr Copy(const WmaAttribute& r) {
  Attr a;
  for (int i = 0; i < 520 && r.Name[i] != 0; ++i) a.Name.push_back(static_cast<char16_t>(r.Name[i]));
  a.Type = r.Type;
  if (r.Value != nullptr) a.Value.assign(reinterpret_cast<const char*>(r.Value), static_cast<size_t>(r.ValueLength));
  return a;
}

// Every attribute of an open file, in order.
inline std::vector<Attr> ListOpen() {
  std::vector<Attr> out;
  int32_t count = WMA_GetTagsCount();
  for (int32_t i = 0; i < count; ++i) {
    const WmaAttribute* r = WMA_GetTagByIndex(static_cast<uint32_t>(i));
    if (r != nullptr) out.push_back(Copy(*r));
  }
  return out;
}

// Opens, lists and closes; empty when the file does not open.
inline std::vector<Attr> List(const std::string& path) {
  std::u16string wide = U(path);
  if (WMA_Begin(P(wide)) == 0) return {};
  std::vector<Attr> out = ListOpen();
  WMA_End();
  return out;
}

// UTF-16LE bytes of a value, with its zero unit.
inline std::string W(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  out.append(2, '\0');
  return out;
}

inline const Attr* Find(const std::vector<Attr>& list, const std::u16string& name) {
  for (const Attr& a : list)
    if (a.Name == name) return &a;
  return nullptr;
}

}  // namespace wmatest
