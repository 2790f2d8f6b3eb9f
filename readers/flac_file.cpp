#include "readers/flac_file.h"

#include <string_view>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/text_codec.h"
#include "readers/tag_location.h"

namespace {
constexpr size_t kHeadSize = 26;
constexpr size_t kBlockHeaderSize = 4;
constexpr uint8_t kCommentBlock = 4;
constexpr uint8_t kPictureBlock = 6;
// A file holds a handful of blocks; the bound keeps a file of empty blocks
// from being walked to its end.
constexpr int kMaxBlocks = 1024;
}  // namespace

bool TFLACfile::ReadHeader(const std::string& FileName) {
  ClearFields();
  TFile file;
  return file.Open(FileName) && ReadHeader(file);
}

bool TFLACfile::ReadHeader(const TFile& file) {
  ClearFields();
  int64_t id3v2_size = GetID3v2Size(file);
  bool has_id3v1 = HasID3v1Tag(file);
  std::string head;
  if (!file.ReadExact(id3v2_size, kHeadSize, head)) return false;
  FileSize = file.Size();
  ID3v2Size = id3v2_size;
  HasID3v1 = has_id3v1;

  TByteView h(head);
  if (!h.Matches(0, "fLaC")) return true;
  uint8_t b20 = h.U8(20);
  uint8_t b21 = h.U8(21);
  SampleRate = static_cast<int32_t>(h.BE24(18) >> 4);
  Channels = static_cast<uint8_t>(((b20 >> 1) & 0x7) + 1);
  BitsPerSample = static_cast<uint8_t>((((b20 & 0x1) << 4) | (b21 >> 4)) + 1);
  TotalSamples = (static_cast<uint64_t>(b21 & 0xF) << 32) | h.BE32(22);
  ReadMetadataBlocks(file, id3v2_size + 4);
  return true;
}

// Walks the block headers from pos to the last block. Every length is
// checked against what remains of the file; a block that does not fit ends
// the walk with what was read before it.
void TFLACfile::ReadMetadataBlocks(const TFile& file, int64_t pos) {
  std::string bytes;
  bool comments_read = false;  // only the first comment block counts
  for (int count = 0; count < kMaxBlocks; ++count) {
    if (!file.ReadExact(pos, kBlockHeaderSize, bytes)) return;
    TByteView header(bytes);
    bool last = (header.U8(0) & 0x80) != 0;
    uint8_t type = header.U8(0) & 0x7F;
    uint32_t length = header.BE24(1);
    pos += kBlockHeaderSize;
    if (length > file.Size() - pos) return;
    if (type == kCommentBlock && !comments_read) {
      if (!file.ReadExact(pos, length, bytes)) return;
      ReadCommentBlock(bytes);
      comments_read = true;
    } else if (type == kPictureBlock) {
      // The image is read only when the picture would be taken.
      std::string picture_type;
      if (!file.ReadExact(pos, 4, picture_type)) return;
      if (Comments.WantsPicture(TByteView(picture_type).BE32(0))) {
        if (!file.ReadExact(pos, length, bytes)) return;
        Comments.OfferPicture(TByteView(bytes));
        if (Comments.FHasPicture) Comments.FHasTags = true;
      }
    }
    if (last) return;
    pos += length;
  }
}

// Vendor and entries; an entry count beyond what the block holds ends at
// the first entry that does not fit. Entries that are not well-formed UTF-8
// have their bad bytes replaced.
void TFLACfile::ReadCommentBlock(const std::string& block) {
  TByteView b(block);
  uint32_t vendor_size = b.LE32(0);
  if (!b.Fits(4, vendor_size)) return;
  Vendor = b.Str(4, vendor_size);
  size_t pos = 4 + static_cast<size_t>(vendor_size);
  if (!b.Fits(pos, 4)) return;
  uint32_t count = b.LE32(pos);
  pos += 4;
  for (uint32_t i = 0; i < count && b.Fits(pos, 4); ++i) {
    uint32_t size = b.LE32(pos);
    pos += 4;
    if (!b.Fits(pos, size)) return;
    std::string_view entry = b.Chars(pos, size);
    Comments.FileComment(IsValidUtf8(entry) ? std::string(entry) : Utf16ToUtf8(Utf8ToUtf16(entry)));
    Comments.FHasTags = true;
    pos += size;
  }
}

bool TFLACfile::IsValid() const { return Channels != 0 && SampleRate > 0 && BitsPerSample != 0 && TotalSamples > 0; }

double TFLACfile::Duration() const {
  if (!IsValid()) return 0;
  return static_cast<double>(TotalSamples) / SampleRate;
}

double TFLACfile::Ratio() const {
  if (!IsValid()) return 0;
  double raw_bytes = static_cast<double>(TotalSamples) * Channels * BitsPerSample / 8;
  return static_cast<double>(FileSize) / raw_bytes * 100.0;
}
