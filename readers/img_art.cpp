#include "readers/img_art.h"

#include <string_view>

#include "toolkit/error.h"
#include "toolkit/file_io.h"
#include "toolkit/program_info.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The part after the description's terminator: a zero unit at an even
// offset for UTF-16, else one zero byte. Without a terminator nothing goes
// (UTF-16: one byte).
std::string_view AfterDescription(std::string_view s, bool utf16) {
  if (utf16) {
    for (size_t i = 0; i + 1 < s.size(); i += 2)
      if (s[i] == '\0' && s[i + 1] == '\0') return s.substr(i + 2);
    return s.substr(s.empty() ? 0 : 1);
  }
  size_t zero = s.find('\0');
  return zero == std::string_view::npos ? s : s.substr(zero + 1);
}

}  // namespace

void TImgArt::ClearFields() {
  Data.clear();
  Extension.clear();
}

// The MIME type is recognised by its first letter after "image/" (byte 8,
// counting the encoding byte as 1); "image/jpeg" is one byte longer than
// "image/jpg" and "image/png". A picture type below 1C hex follows it.
std::string TImgArt::ExtractPicture() {
  std::string_view s(Data);
  if (s.size() < 2 || Lower(s[1]) != 'i') return {};
  auto encoding = static_cast<unsigned char>(s[0]);
  char kind = s.size() > 7 ? Lower(s[7]) : '\0';
  size_t cut = 0;
  if (kind == 'b') {
    Extension = ".bmp";
    cut = 11;
  } else if (kind == 'j' || kind == 'p') {
    Extension = kind == 'j' ? ".jpg" : ".png";
    cut = s.size() > 10 && static_cast<unsigned char>(s[10]) > 0x1E ? 12 : 11;
  }
  if (cut > 0) {
    s = cut < s.size() ? s.substr(cut) : std::string_view();
    if (!s.empty() && static_cast<unsigned char>(s[0]) < 0x1C) s.remove_prefix(1);
  }
  return std::string(AfterDescription(s, encoding == 1 || encoding == 2));
}

std::string TImgArt::SavePicture(const std::string& BaseName) {
  std::string picture = ExtractPicture();
  if (picture.empty()) return {};
  std::string name = BaseName + Extension;
  if (!WriteFileReplacing(name, picture)) throw TVelloranError("Cannot write the picture file " + name);
  return name;
}

std::string TImgArt::SaveToTempFile() { return SavePicture(WritableFolder() + "tmp_image"); }
