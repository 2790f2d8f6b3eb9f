#include "readers/tag_location.h"

#include <cstring>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"

namespace {

constexpr size_t kHeaderSize = 10;
// Taggers that write a new tag in front of an old one do it a few times at
// most; the bound keeps a file of empty tags from being walked to its end.
constexpr int kMaxFollowingTags = 64;

// The size of a tag whose header stands at pos and that fits the file, or
// 0. Unlike the first tag's, a following tag must be a sound one: a known
// major version and size bytes of 7 bits each.
int64_t FollowingTagSize(const TFile& file, int64_t pos) {
  std::string bytes;
  if (!file.ReadExact(pos, kHeaderSize, bytes)) return 0;
  TByteView h(bytes);
  if (!h.Matches(0, "ID3") || h.U8(3) < 2 || h.U8(3) > 4) return 0;
  for (size_t i = 6; i < kHeaderSize; ++i)
    if (h.U8(i) >= 0x80) return 0;
  int64_t size = (int64_t{h.U8(6)} << 21 | int64_t{h.U8(7)} << 14 | int64_t{h.U8(8)} << 7 | h.U8(9)) + 10;
  if (h.U8(5) & 0x10) size += 10;
  return size > file.Size() - pos ? 0 : size;
}

// The sizes of the tags that follow one another from pos on.
int64_t FollowingTagsSize(const TFile& file, int64_t pos) {
  int64_t total = 0;
  for (int count = 0; count < kMaxFollowingTags; ++count) {
    int64_t size = FollowingTagSize(file, pos + total);
    if (size == 0) break;
    total += size;
  }
  return total;
}

}  // namespace

bool ReadTagHeader(const std::string& FileName, TagInfo& Info) {
  Info = TagInfo{};
  TFile file;
  return file.Open(FileName) && ReadTagHeader(file, Info);
}

bool ReadTagHeader(const TFile& File, TagInfo& Info) {
  Info = TagInfo{};
  std::string bytes;
  if (!File.ReadExact(0, Info.Header.size(), bytes)) return false;
  std::memcpy(Info.Header.data(), bytes.data(), Info.Header.size());
  Info.FileSize = File.Size();
  return true;
}

int64_t TagSizeOf(const TagInfo& Info) {
  const auto& h = Info.Header;
  int64_t size = static_cast<int64_t>(h[6]) * (1 << 21) + static_cast<int64_t>(h[7]) * (1 << 14) +
                 static_cast<int64_t>(h[8]) * (1 << 7) + h[9] + 10;
  if (h[5] & 0x10) size += 10;
  return size > Info.FileSize ? 0 : size;
}

int64_t GetID3v2Size(const std::string& FileName) {
  TFile file;
  return file.Open(FileName) ? GetID3v2Size(file) : 0;
}

// Some taggers put a new tag in front of an old one: the audio starts after
// the last of the tags that follow one another from the start.
int64_t GetID3v2Size(const TFile& File) {
  TagInfo info;
  if (!ReadTagHeader(File, info)) return 0;
  if (std::memcmp(info.Header.data(), "ID3", 3) != 0) return 0;
  int64_t size = TagSizeOf(info);
  if (size == 0) return 0;
  return size + FollowingTagsSize(File, size);
}

bool HasID3v1Tag(const std::string& FileName) {
  TFile file;
  return file.Open(FileName) && HasID3v1Tag(file);
}

bool HasID3v1Tag(const TFile& File) {
  std::string bytes;
  if (File.Size() < 128) return false;
  return File.ReadExact(File.Size() - 128, 3, bytes) && bytes == "TAG";
}
