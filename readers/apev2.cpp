#include "readers/apev2.h"

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/text_codec.h"
#include "readers/tag_location.h"

const std::array<std::string_view, kApeSlotCount> ApeSlotKeys = {
    "Artist",    "Album",    "Title",  "Track",    "Year",      "Genre",       "Copyright",
    "Comment",   "Lyrics",   "APIC",   "Subtitle", "Publisher", "Conductor",   "Composer",
    "Language",  "File",     "Record Date", "Band", "BPM",      "Lyricist",    "Remixed",
    "Mood",      "CG Descr", "Debut Album", "Or Artist", "Or Lyricist"};

namespace {

constexpr size_t kFooterSize = 32;
constexpr int64_t kID3v1Size = 128;
// Value size and item flags before the key.
constexpr size_t kItemHeadSize = 8;

// Bits 2-1 of the item flags: 01 is binary; text, link and reserved are read as text.
bool IsBinaryItem(uint32_t flags) { return (flags & 0x6) == 0x2; }

}  // namespace

void TDAPEv2::ClearTag() {
  FileName.clear();
  Exists = false;
  Version = 0;
  for (std::string& s : Slots) s.clear();
  HasPicture = false;
  HasLyrics = false;
  OtherItems.clear();
  HasID3v1 = false;
  Footer.assign(kFooterSize, '\0');
  FileSize = 0;
  ID3v1Size = 0;
}

bool TDAPEv2::LoadTag(const std::string& name) {
  ClearTag();
  TFile file;
  bool read = file.Open(name) && LoadTag(file);
  FileName = name;
  return read;
}

bool TDAPEv2::LoadTag(const TFile& file) {
  ClearTag();
  HasID3v1 = HasID3v1Tag(file);
  int64_t id3v1_size = HasID3v1 ? kID3v1Size : 0;

  std::string footer;
  int64_t before_footer = file.Size() - id3v1_size - static_cast<int64_t>(kFooterSize);
  if (before_footer < 0 || !file.ReadExact(before_footer, kFooterSize, footer)) return false;
  Footer = footer;
  FileSize = file.Size();
  ID3v1Size = id3v1_size;

  TByteView f(Footer);
  if (!f.Matches(0, "APETAGEX")) return true;
  Exists = true;
  Version = static_cast<int32_t>(f.LE32(8));
  int32_t tag_size = static_cast<int32_t>(f.LE32(12));
  int32_t count = static_cast<int32_t>(f.LE32(16));

  // The items lie between the first item and the footer. A tag size that is
  // smaller than the footer or points before the start of the file leaves
  // no items to read.
  int64_t items_size = static_cast<int64_t>(tag_size) - static_cast<int64_t>(kFooterSize);
  if (items_size > 0 && items_size <= before_footer) {
    std::string area;
    if (file.ReadExact(before_footer - items_size, static_cast<size_t>(items_size), area)) ReadItems(area, count);
  }
  HasPicture = !Slots[apeAPIC].empty();
  HasLyrics = !Slots[apeLyrics].empty();
  return true;
}

// Reads up to count items from the item area. The list ends, keeping what
// was stored, at a negative value size, a key without its zero byte, or a
// value that runs past the area.
void TDAPEv2::ReadItems(std::string_view area, int32_t count) {
  TByteView items(area);
  size_t pos = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (!items.Fits(pos, kItemHeadSize)) return;
    int32_t value_size = static_cast<int32_t>(items.LE32(pos));
    uint32_t flags = items.LE32(pos + 4);
    if (value_size < 0) return;
    size_t key_start = pos + kItemHeadSize;
    size_t key_end = area.find('\0', key_start);
    if (key_end == std::string_view::npos) return;
    size_t value_start = key_end + 1;
    if (!items.Fits(value_start, static_cast<size_t>(value_size))) return;
    if (value_size > 0)
      Store(flags, area.substr(key_start, key_end - key_start), area.substr(value_start, static_cast<size_t>(value_size)));
    pos = value_start + static_cast<size_t>(value_size);
  }
}

void TDAPEv2::Store(uint32_t flags, std::string_view raw_key, std::string_view raw_value) {
  std::string key = TrimControls(raw_key);
  // Text is UTF-8 in the file; passing it through UTF-16 replaces malformed
  // bytes with U+FFFD, so everything after this holds well-formed text.
  std::string value = IsBinaryItem(flags) ? std::string(raw_value) : Utf16ToUtf8(Utf8ToUtf16(TrimControls(raw_value)));
  for (size_t slot = 0; slot < ApeSlotKeys.size(); ++slot) {
    if (ApeSlotKeys[slot] == key) {
      Slots[slot] = std::move(value);
      return;
    }
  }
  OtherItems.push_back({flags, std::move(key), std::move(value)});
}
