#include "readers/id3v2.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "toolkit/str_tools.h"
#include "toolkit/text_codec.h"
#include "readers/id3v2_text.h"
#include "readers/tag_location.h"

namespace {

enum TRow : size_t {
  rAlbum, rArtist, rTitle, rTrack, rYear, rGenre, rLyricist, rEncodedBy, rLanguage, rCopyright, rComposer,
  rLink, rOrigLyricist, rOrigArtist, rOrigAlbum, rContentGroup, rSubtitle, rRecordingDates, rBand,
  rConductor, rRemixer, rBPM, kRowCount
};

// Frame identifiers by major version 2, 3, 4. "----" never matches: version
// 4 has no recording-dates frame.
constexpr const char* kRowIDs[kRowCount][3] = {
    {"TAL", "TALB", "TALB"}, {"TP1", "TPE1", "TPE1"}, {"TT2", "TIT2", "TIT2"}, {"TRK", "TRCK", "TRCK"},
    {"TYE", "TYER", "TDRC"}, {"TCO", "TCON", "TCON"}, {"TXT", "TEXT", "TEXT"}, {"TEN", "TENC", "TENC"},
    {"TLA", "TLAN", "TLAN"}, {"TCR", "TCOP", "TCOP"}, {"TCM", "TCOM", "TCOM"}, {"WXX", "WXXX", "WXXX"},
    {"TOL", "TOLY", "TOLY"}, {"TOA", "TOPE", "TOPE"}, {"TOT", "TOAL", "TOAL"}, {"TT1", "TIT1", "TIT1"},
    {"TT3", "TIT3", "TIT3"}, {"TRD", "TRDA", "----"}, {"TP2", "TPE2", "TPE2"}, {"TP3", "TPE3", "TPE3"},
    {"TP4", "TPE4", "TPE4"}, {"TBP", "TBPM", "TBPM"},
};
constexpr const char* kCommentIDs[3] = {"COM", "COMM", "COMM"};
constexpr const char* kLyricsIDs[3] = {"ULT", "USLT", "USLT"};
constexpr const char* kPictureIDs[3] = {"PIC", "APIC", "APIC"};

constexpr uint8_t kFlagUnsync = 0x80;
constexpr uint8_t kFlagExtended = 0x40;
constexpr uint8_t kFlagFooter = 0x10;
// Second flag byte of a frame header.
constexpr uint8_t kV3Compressed = 0x80;
constexpr uint8_t kV4Unsync = 0x02;
constexpr uint8_t kV4DataLength = 0x01;

// Unsynchronisation inserts a zero byte after every FF; this takes it out.
void Resynchronise(std::string& bytes) {
  size_t out = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[out++] = bytes[i];
    if (static_cast<uint8_t>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
  }
  bytes.resize(out);
}

// Four bytes of 7 bits each; false when a top bit is set.
bool Syncsafe(TByteView b, size_t pos, uint32_t& value) {
  value = 0;
  for (size_t i = 0; i < 4; ++i) {
    uint8_t v = b.U8(pos + i);
    if (v & 0x80) return false;
    value = (value << 7) | v;
  }
  return true;
}

bool IsFrameIDChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// A version 2.2 picture has a 3-letter image format (JPG, PNG) where APIC
// has a MIME type; it is stored in the APIC layout so that both are taken
// apart alike: encoding, MIME type, zero byte, picture type, description, image.
std::string PicToApic(const std::string& d) {
  if (d.size() < 5) return d;
  std::string format = d.substr(1, 3);
  bool letters = std::all_of(format.begin(), format.end(), [](char c) { return IsFrameIDChar(c) || (c >= 'a' && c <= 'z'); });
  std::string mime = format;
  if (letters) {
    for (char& c : format) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    mime = format == "jpg" ? "image/jpeg" : "image/" + format;
  }
  std::string out;
  out.reserve(d.size() + mime.size() - 2);
  out.push_back(d[0]);
  out += mime;
  out.push_back('\0');
  out.append(d, 4);
  return out;
}

}  // namespace

// The tag's bytes: read from the file frame by frame, or, for an
// unsynchronised version 2 or 3 tag, from the resynchronised copy of the
// whole tag in memory. Positions are file offsets in both cases.
class TID3v2Source {
 public:
  explicit TID3v2Source(const TFile& file) : FFile(file) {}
  void UseBuffer(std::string&& bytes, int64_t base) {
    FBuffer = std::move(bytes);
    FBase = base;
    FBuffered = true;
  }
  int64_t BufferEnd() const { return FBase + static_cast<int64_t>(FBuffer.size()); }
  // Exactly len bytes at pos; false when fewer are there.
  bool Read(int64_t pos, size_t len, std::string& out) const {
    if (!FBuffered) return FFile.ReadExact(pos, len, out);
    TByteView b(FBuffer);
    if (pos < FBase || !b.Fits(static_cast<size_t>(pos - FBase), len)) return false;
    out = b.Str(static_cast<size_t>(pos - FBase), len);
    return true;
  }

 private:
  const TFile& FFile;
  std::string FBuffer;
  int64_t FBase = 0;
  bool FBuffered = false;
};

class TID3v2FrameReader {
 public:
  TID3v2FrameReader(TDID3v2& tag, const TFile& file, uint8_t flags, std::vector<std::string>& rows)
      : FTag(tag), FFile(file), FSource(file), FFlags(flags), FRows(rows) {
    FVersion = tag.VersionID;
    FHeaderSize = FVersion == 2 ? 6 : 10;
    FFramesEnd = tag.Size - ((flags & kFlagFooter) ? 10 : 0);
    FLimit = tag.Size;
  }

  void Run() {
    int64_t pos = 10;
    if ((FFlags & kFlagUnsync) && FVersion <= 3) {
      // The whole tag was unsynchronised after its frames were made, so the
      // frame sizes count resynchronised bytes.
      std::string whole;
      if (FFramesEnd <= pos || !FSource.Read(pos, static_cast<size_t>(FFramesEnd - pos), whole)) return;
      Resynchronise(whole);
      FSource.UseBuffer(std::move(whole), pos);
      FFramesEnd = FLimit = FSource.BufferEnd();
    }
    if ((FFlags & kFlagExtended) && FVersion >= 3 && !SkipExtendedHeader(pos)) return;
    ReadFrames(pos);
  }

 private:
  // Version 3: a 4-byte size that does not count itself; version 4: a
  // syncsafe size that does.
  bool SkipExtendedHeader(int64_t& pos) {
    std::string size_bytes;
    if (!FSource.Read(pos, 4, size_bytes)) return false;
    TByteView b(size_bytes);
    uint64_t skip = 0;
    if (FVersion == 3) {
      skip = 4 + static_cast<uint64_t>(b.BE32(0));
    } else {
      uint32_t v = 0;
      if (!Syncsafe(b, 0, v)) return false;
      skip = v;
    }
    if (skip < 6 || skip > static_cast<uint64_t>(FFramesEnd - pos)) return false;
    pos += static_cast<int64_t>(skip);
    return true;
  }

  // Every pass moves on by at least a frame header, so the loop ends within
  // the tag size.
  void ReadFrames(int64_t pos) {
    std::string header;
    while (pos <= FLimit) {
      if (!FSource.Read(pos, FHeaderSize, header) || header[0] < 'A' || header[0] > 'Z') return;
      TByteView h(header);
      int64_t size = DataSize(pos, h);
      if (size <= 0 || size >= FTag.Size) {
        pos += static_cast<int64_t>(FHeaderSize);  // the data is not skipped
        continue;
      }
      uint8_t format_flags = h.U8(9);
      int64_t data_pos = pos + static_cast<int64_t>(FHeaderSize);
      if (LeavesPictureUnread(header, format_flags)) {
        // Stored as if read: the frame must lie wholly inside the file.
        if (size > FFile.Size() - data_pos) return;
        TFrameItem_ID3v2& item = FTag.Pictures.Add();
        item.FrameID = header.substr(0, 4);
        item.FrameSize = static_cast<int32_t>(size);
        item.FrameFlags = static_cast<uint16_t>(h.U8(8) | (h.U8(9) << 8));
        item.DataOffset = data_pos;
        pos = data_pos + size;
        continue;
      }
      std::string data;
      if (!FSource.Read(data_pos, static_cast<size_t>(size), data)) return;
      pos = data_pos + size;
      if (FVersion >= 3 && (format_flags & kV3Compressed)) continue;
      if (FVersion == 4) {
        if ((format_flags & kV4Unsync) || (FFlags & kFlagUnsync)) Resynchronise(data);
        if ((format_flags & kV4DataLength) && data.size() >= 4) data.erase(0, 4);
      }
      uint16_t flags = FVersion == 2 ? 0 : static_cast<uint16_t>(h.U8(8) | (h.U8(9) << 8));
      FTag.StoreFrame(header.substr(0, FVersion == 2 ? 3 : 4), std::move(data), flags, static_cast<int32_t>(size), FRows);
    }
  }

  // A picture frame whose data the file holds as it is to be delivered: not
  // compressed, not unsynchronised, without a data length in front.
  bool LeavesPictureUnread(const std::string& header, uint8_t format_flags) const {
    if (FTag.ReadPictureData || FVersion < 3 || (FFlags & kFlagUnsync)) return false;
    if (header.compare(0, 4, kPictureIDs[FVersion - 2]) != 0) return false;
    if (FVersion == 3) return (format_flags & kV3Compressed) == 0;
    return (format_flags & (kV4Unsync | kV4DataLength)) == 0;
  }

  int64_t DataSize(int64_t pos, TByteView h) const {
    if (FVersion == 2) return h.BE24(3);
    uint32_t plain = h.BE32(4);
    if (FVersion == 3) return static_cast<int32_t>(plain);
    uint32_t syncsafe = 0;
    if (!Syncsafe(h, 4, syncsafe)) return static_cast<int32_t>(plain);
    // Some writers store plain sizes in version 4 tags: take the plain size
    // when only it lands on a frame header, padding or the end of the tag.
    if (syncsafe != plain && !LandsOnFrame(pos + 10 + syncsafe) && LandsOnFrame(pos + 10 + plain)) return plain;
    return syncsafe;
  }

  bool LandsOnFrame(int64_t next) const {
    if (next == FFramesEnd) return true;
    if (next > FFramesEnd) return false;
    std::string b;
    size_t len = static_cast<size_t>(std::min<int64_t>(4, FFramesEnd - next));
    if (!FSource.Read(next, len, b)) return false;
    if (b[0] == '\0') return true;
    return b.size() == 4 && std::all_of(b.begin(), b.end(), IsFrameIDChar);
  }

  TDID3v2& FTag;
  const TFile& FFile;
  TID3v2Source FSource;
  uint8_t FFlags;
  std::vector<std::string>& FRows;
  uint8_t FVersion = 0;
  size_t FHeaderSize = 10;
  int64_t FFramesEnd = 0;
  int64_t FLimit = 0;
};

void TDID3v2::ClearTag() {
  Exists = false;
  VersionID = 0;
  Size = 0;
  FileName.clear();
  for (std::string* field : {&Title, &Artist, &Album, &Year, &Track, &Genre, &Lyricist, &EncodedBy, &Language,
                             &Copyright, &Composer, &Link, &OrigLyricist, &OrigArtist, &OrigAlbum, &ContentGroup,
                             &Subtitle, &RecordingDates, &Band, &Conductor, &Remixer})
    field->clear();
  BPM = 0;
  Comments.Clear();
  Lyrics.Clear();
  Pictures.Clear();
  OtherFrames.Clear();
  HasComments = HasLyrics = HasPicture = HasOtherFrames = false;
}

bool TDID3v2::LoadTag(const std::string& FileName) {
  ClearTag();
  TFile file;
  bool read = file.Open(FileName) && LoadTag(file);
  this->FileName = FileName;
  return read;
}

bool TDID3v2::LoadTag(const TFile& file) {
  ClearTag();
  std::string head;
  if (!file.ReadExact(0, 10, head)) return false;
  if (head.compare(0, 3, "ID3") != 0) return true;

  TagInfo info;
  std::memcpy(info.Header.data(), head.data(), info.Header.size());
  info.FileSize = file.Size();
  Exists = true;
  VersionID = info.Header[3];
  Size = TagSizeOf(info);
  if (VersionID < 2 || VersionID > 4 || Size <= 0) return true;

  std::vector<std::string> rows(kRowCount);
  TID3v2FrameReader reader(*this, file, info.Header[5], rows);
  reader.Run();
  FillFields(rows);
  return true;
}

// Text rows take frames of the four text encodings; a later frame of the
// same row replaces an earlier one.
void TDID3v2::StoreFrame(const std::string& ID, std::string&& D, uint16_t F, int32_t N, std::vector<std::string>& rows) {
  size_t column = static_cast<size_t>(VersionID - 2);
  for (size_t row = 0; row < kRowCount; ++row) {
    if (ID == kRowIDs[row][column] && !D.empty() && static_cast<uint8_t>(D[0]) <= 3) {
      rows[row] = std::move(D);
      return;
    }
  }
  TFrameLib_ID3v2* target = &OtherFrames;
  if (ID == kCommentIDs[column]) target = &Comments;
  else if (ID == kLyricsIDs[column]) target = &Lyrics;
  else if (ID == kPictureIDs[column]) target = &Pictures;
  TFrameItem_ID3v2& item = target->Add();
  item.FrameID = ID;
  item.FrameSize = N;
  item.FrameFlags = F;
  if (target == &OtherFrames) item.Description = ID;
  item.Data = (target == &Pictures && VersionID == 2) ? PicToApic(D) : std::move(D);
}

void TDID3v2::FillFields(std::vector<std::string>& rows) {
  Title = DecodeText(rows[rTitle]);
  Artist = DecodeText(rows[rArtist]);
  Album = DecodeText(rows[rAlbum]);
  Track = DecodeText(rows[rTrack]);
  Year = DecodeText(rows[rYear]);
  Lyricist = DecodeText(rows[rLyricist]);
  EncodedBy = DecodeText(rows[rEncodedBy]);
  Language = DecodeText(rows[rLanguage]);
  Copyright = DecodeText(rows[rCopyright]);
  Composer = DecodeText(rows[rComposer]);
  OrigLyricist = DecodeText(rows[rOrigLyricist]);
  OrigArtist = DecodeText(rows[rOrigArtist]);
  OrigAlbum = DecodeText(rows[rOrigAlbum]);
  ContentGroup = DecodeText(rows[rContentGroup]);
  Subtitle = DecodeText(rows[rSubtitle]);
  RecordingDates = DecodeText(rows[rRecordingDates]);
  Band = DecodeText(rows[rBand]);
  Conductor = DecodeText(rows[rConductor]);
  Remixer = DecodeText(rows[rRemixer]);
  Genre = ResolveGenre(DecodeText(rows[rGenre]));
  Link = DecodeLink(rows[rLink]);
  // The raw bytes, trimmed, as a plain decimal: a UTF-16 text gives 0.
  BPM = static_cast<uint16_t>(ParseDecimal(TrimControls(rows[rBPM])));

  for (TFrameLib_ID3v2* described : {&Lyrics, &Comments}) {
    for (int i = 0; i < described->Count(); ++i) {
      TFrameItem_ID3v2& item = described->Item(i);
      TDescribedText parts = SplitDescribed(item.Data, true);
      item.Data = std::move(parts.Text);
      item.Description = std::move(parts.Description);
      item.Language = std::move(parts.Language);
    }
  }
  HasLyrics = !Lyrics.Empty();
  HasComments = !Comments.Empty();
  HasOtherFrames = !OtherFrames.Empty();
  HasPicture = !Pictures.Empty();
}

namespace {
std::string DataAt(const TFrameLib_ID3v2& lib, int Index) {
  return Index >= 0 && Index < lib.Count() ? lib.Item(Index).Data : std::string();
}
}  // namespace

std::string TDID3v2::GetComment(int Index) const { return DataAt(Comments, Index); }
std::string TDID3v2::GetLyrics(int Index) const { return DataAt(Lyrics, Index); }
std::string TDID3v2::GetPicture(int Index) const { return DataAt(Pictures, Index); }

int64_t TDID3v2::GetPictureSize(int Index) const {
  if (Index < 0 || Index >= Pictures.Count()) return 0;
  const TFrameItem_ID3v2& item = Pictures.Item(Index);
  return item.DataOffset >= 0 ? item.FrameSize : static_cast<int64_t>(item.Data.size());
}

std::string TDID3v2::GetShownComment() const {
  for (int i = 0; i < Comments.Count(); ++i)
    if (Comments.Item(i).Description.empty()) return Comments.Item(i).Data;
  return GetComment(0);
}
