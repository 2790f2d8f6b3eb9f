#include "report/engine/page_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "toolkit/text_codec.h"

std::vector<std::string> SplitTemplateLines(std::string_view bytes) {
  std::string text;
  if (IsValidUtf8(bytes)) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    text.assign(bytes);
  } else {
    text = Cp1252ToUtf8(bytes);
  }
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string DeclaredCharset(std::string_view charset_line) {
  static constexpr std::string_view kKey = "charset=";
  size_t at = AsciiLower(charset_line).find(kKey);
  if (at == std::string::npos) return {};
  size_t begin = at + kKey.size();
  // charset="name" or charset='name' as well as charset=name
  if (begin < charset_line.size() && (charset_line[begin] == '"' || charset_line[begin] == '\'')) ++begin;
  size_t end = charset_line.find_first_of("\"' ;>\t\r\n/", begin);
  if (end == std::string_view::npos) end = charset_line.size();
  return std::string(charset_line.substr(begin, end - begin));
}

namespace {

// Names that pages use for charsets the converter knows by another name.
std::string ConverterName(const std::string& charset) {
  std::string lower = AsciiLower(charset);
  if (lower == "x-mac-ce") return "MAC-CENTRALEUROPE";
  if (lower == "x-mac-cyrillic") return "MAC-CYRILLIC";
  return charset;
}

// An open converter from UTF-8, closed on every path.
class TConverter {
 public:
  explicit TConverter(const std::string& to) {
    if (!to.empty()) cd_ = iconv_open(ConverterName(to).c_str(), "UTF-8");
    if (cd_ == kNone) cd_ = iconv_open("UTF-8", "UTF-8");
  }
  ~TConverter() {
    if (cd_ != kNone) iconv_close(cd_);
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;
  bool IsOpen() const { return cd_ != kNone; }

  // Converts as much of in as the target charset holds, appending to out.
  // Gives true when everything was converted; false with in at the first
  // character that could not be.
  bool Convert(std::string_view& in, std::string& out) {
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    bool done = Run(&src, &src_left, out);
    in = std::string_view(src, src_left);
    return done;
  }
  // Brings a stateful charset back to its initial shift state.
  void Finish(std::string& out) { Run(nullptr, nullptr, out); }

 private:
  static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

  bool Run(char** src, size_t* src_left, std::string& out) {
    for (;;) {
      size_t used = out.size();
      size_t room = (src_left != nullptr ? *src_left : 0) * 2 + 32;
      out.resize(used + room);
      char* dst = out.data() + used;
      size_t dst_left = room;
      size_t result = iconv(cd_, src, src_left, &dst, &dst_left);
      int error = errno;
      out.resize(used + (room - dst_left));
      if (result != static_cast<size_t>(-1)) return true;
      if (error != E2BIG) return false;
    }
  }

  iconv_t cd_ = kNone;
};

// Length and code point of the UTF-8 sequence at the start of text; length
// 0 when it is not a valid sequence.
size_t DecodeUtf8(std::string_view text, char32_t& cp) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(0);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || length > text.size()) return 0;
  if (!IsValidUtf8(text.substr(0, length))) return 0;
  cp = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) cp = (cp << 6) | (byte(i) & 0x3F);
  return length;
}

}  // namespace

std::string EncodePage(std::string_view utf8_page, const std::string& charset) {
  TConverter converter(charset);
  if (!converter.IsOpen()) return std::string(utf8_page);
  std::string out;
  out.reserve(utf8_page.size() + utf8_page.size() / 8);
  std::string_view rest = utf8_page;
  while (!converter.Convert(rest, out) && !rest.empty()) {
    // A character the charset lacks, or a byte that is not UTF-8: write it
    // as a character reference, itself converted so that it comes out right
    // in any charset (shift states and wide encodings included).
    char32_t cp = 0xFFFD;
    size_t length = DecodeUtf8(rest, cp);
    if (length == 0) {
      cp = 0xFFFD;
      length = 1;
    }
    rest.remove_prefix(length);
    std::string reference = "&#" + std::to_string(static_cast<uint32_t>(cp)) + ";";
    std::string_view reference_view = reference;
    converter.Convert(reference_view, out);
  }
  converter.Finish(out);
  return out;
}
