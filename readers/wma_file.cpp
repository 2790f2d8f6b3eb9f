#include "readers/wma_file.h"

#include <cstring>
#include <exception>
#include <string_view>

#include "toolkit/byte_view.h"
#include "toolkit/str_tools.h"
#include "toolkit/text_codec.h"
#include "tagbridge/orva_tags.h"

namespace {

enum : int32_t { kTypeDword = 0, kTypeString = 1, kTypeBinary = 2 };
constexpr size_t kNameUnits = 520;
constexpr uint8_t kFrontCover = 3;

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

// The name of a record: the units up to the zero, within the buffer.
std::string RecordName(const WmaAttribute& record) {
  std::u16string units;
  for (size_t i = 0; record.Name != nullptr && i < kNameUnits && record.Name[i] != 0; ++i)
    units.push_back(static_cast<char16_t>(record.Name[i]));
  return Utf16ToUtf8(units);
}

// UTF-16LE bytes up to the first zero unit.
std::u16string UnitsToZero(std::string_view bytes) {
  std::u16string units = Utf16FromBytes(bytes, false);
  size_t zero = units.find(u'\0');
  if (zero != std::u16string::npos) units.resize(zero);
  return units;
}

// Ends the attribute session on every path, so an error on the way never
// leaves the library's one open file behind.
struct TWmaSession {
  ~TWmaSession() { WMA_End(); }
};

std::string_view RecordValue(const WmaAttribute& record) {
  if (record.Value == nullptr || record.ValueLength <= 0) return {};
  return std::string_view(reinterpret_cast<const char*>(record.Value), static_cast<size_t>(record.ValueLength));
}

}  // namespace

TWMAFile::TWMAFile() : FInfo(std::make_unique<TWMAInfoFile>()) { ClearFields(); }

TWMAFile::~TWMAFile() = default;

void TWMAFile::ClearFields() {
  for (std::string* text :
       {&FAlbum, &FArtist, &FBand, &FBPM, &FComment, &FComposer, &FConductor, &FCopyright, &FContentGroup, &FPicture,
        &FGenre, &FLanguage, &FLink, &FLyricist, &FLyrics, &FOrigAlbum, &FOrigArtist, &FOrigLyricist, &FRecordDate,
        &FRemixed, &FSubtitle, &FTitle, &FTrack, &FEncoder, &FYear})
    text->clear();
  FHasTags = false;
  FHasPicture = false;
  FHasLyrics = false;
  FValid = false;
}

// The stream values are cleared for every read as well, so a file without
// plausible stream values never shows those of the file read before it.
void TWMAFile::ClearStreamValues() {
  FBitRate = 0;
  FSampleRate = 0;
  FChannelMode.clear();
  FFileSize = 0;
  FDuration = 0;
}

void TWMAFile::FileString(const std::string& name, const std::string& value) {
  static const struct {
    std::string_view Name;
    std::string TWMAFile::*Field;
  } kFields[] = {
      {"TITLE", &TWMAFile::FTitle},
      {"AUTHOR", &TWMAFile::FArtist},
      {"WM/ALBUMTITLE", &TWMAFile::FAlbum},
      {"WM/GENRE", &TWMAFile::FGenre},
      {"WM/TRACKNUMBER", &TWMAFile::FTrack},
      {"WM/YEAR", &TWMAFile::FYear},
      {"DESCRIPTION", &TWMAFile::FComment},
      {"WM/AUDIOFILEURL", &TWMAFile::FLink},
      {"COPYRIGHT", &TWMAFile::FCopyright},
      {"WM/COMPOSER", &TWMAFile::FComposer},
      {"WMFSDKVERSION", &TWMAFile::FEncoder},
      {"WM/LANGUAGE", &TWMAFile::FLanguage},
      {"WM/BEATSPERMINUTE", &TWMAFile::FBPM},
      {"WM/WRITER", &TWMAFile::FLyricist},
      {"WM/SUBTITLE", &TWMAFile::FSubtitle},
      {"WM/CONDUCTOR", &TWMAFile::FConductor},
      {"WM/BAND", &TWMAFile::FBand},
      {"WM/REMIXED", &TWMAFile::FRemixed},
      {"WM/RECORDDATE", &TWMAFile::FRecordDate},
      {"WM/CONTENTGROUPDESCRIPTION", &TWMAFile::FContentGroup},
      {"WM/ORIGINALARTIST", &TWMAFile::FOrigArtist},
      {"WM/ORIGINALALBUMTITLE", &TWMAFile::FOrigAlbum},
      {"WM/ORIGINALLYRICIST", &TWMAFile::FOrigLyricist},
  };
  if (name == "WM/LYRICS") {
    if (value.empty()) return;
    FLyrics = value;
    FHasLyrics = true;
    return;
  }
  for (const auto& row : kFields)
    if (row.Name == name) {
      this->*row.Field = value;
      return;
    }
}

bool TWMAFile::ReadHeader(const std::string& path) {
  ClearFields();
  ClearStreamValues();
  if (FInfo->ReadHeader(path) && FInfo->FValid) {
    FValid = true;
    FBitRate = FInfo->FBitRate;
    FSampleRate = FInfo->FSampleRate;
    FChannelMode = FInfo->ChannelModeText();
    FFileSize = ClampI32(RoundEven(FInfo->FFileSize / 1024.0));
    // An estimate from the file size counts the header and the preroll
    // (about 4 seconds) too; a stated play duration does not.
    double seconds = FInfo->FDurationEstimated ? FInfo->FDuration - 4.0 : FInfo->FDuration;
    FDuration = seconds > 0 ? ClampI32(RoundEven(seconds)) : 0;
  }

  std::u16string wide = Utf8ToUtf16(path);
  int32_t size = WMA_Begin(reinterpret_cast<const uint16_t*>(wide.c_str()));
  if (size != 0) {
    TWmaSession session;
    int32_t count = WMA_GetTagsCount();
    uint32_t bytes;
    std::memcpy(&bytes, &size, sizeof bytes);
    FFileSize = ClampI32(RoundEven(bytes / 1024.0));
    FValid = true;
    uint32_t track_number = 0;
    std::string wm_picture;
    for (int32_t index = 0; index < count; ++index) {
      const WmaAttribute* record = WMA_GetTagByIndex(static_cast<uint32_t>(index));
      if (record == nullptr) continue;
      std::string_view value = RecordValue(*record);
      std::string name = RecordName(*record);
      std::string upper = AsciiUpper(name);
      if (record->Type == kTypeDword) {
        if (upper == "WM/TRACK" && value.size() >= 4) track_number = TByteView(value).LE32(0);
      } else if (record->Type == kTypeString) {
        if (!value.empty()) FileString(upper, Utf16ToUtf8(UnitsToZero(value)));
      } else if (record->Type == kTypeBinary) {
        const auto* data = reinterpret_cast<const uint8_t*>(value.data());
        if (name == "ID3") {
          FPicture = ExtractApicBody(data, value.size());
          FHasPicture = !FPicture.empty();
        } else if (upper == "WM/PICTURE" && (wm_picture.empty() || (!value.empty() && data[0] == kFrontCover))) {
          // The first picture, unless a later one is the front cover.
          std::string body = PictureBodyFromWmPicture(data, value.size());
          if (!body.empty()) wm_picture = body;
        }
      }
      if (FTrack.empty() && static_cast<int32_t>(track_number) > 0) FTrack = std::to_string(track_number);
    }
    if (!FHasPicture && !wm_picture.empty()) {
      FPicture = wm_picture;
      FHasPicture = true;
    }
  }

  FHasTags = false;
  for (const std::string* text : {&FTitle, &FArtist, &FAlbum, &FGenre, &FTrack, &FYear, &FComment, &FLyrics, &FLink,
                                  &FCopyright, &FComposer, &FLanguage, &FBPM, &FLyricist, &FSubtitle, &FConductor,
                                  &FBand, &FRemixed, &FRecordDate, &FContentGroup, &FOrigArtist, &FOrigAlbum,
                                  &FOrigLyricist})
    if (!text->empty()) FHasTags = true;
  return FValid;
}

// An ID3v2 tag: "ID3" at 0; an APIC frame is 4 bytes of id, a plain 32-bit
// big-endian size (the ID3v2.3 form), 2 bytes of flags, then the body.
std::string TWMAFile::ExtractApicBody(const uint8_t* data, size_t length) {
  if (data == nullptr || length < 20) return {};
  TByteView v(data, length);
  if (!v.Matches(0, "ID3")) return {};
  for (size_t p = 9; p + 4 <= length; ++p) {
    if (!v.Matches(p, "APIC")) continue;
    uint32_t size = v.BE32(p + 4);
    if (size < 10 || size > length || !v.Fits(p + 10, size)) return {};
    return v.Str(p + 10, size);
  }
  return {};
}

// The attached-picture body the picture tool reads: encoding 1 (UTF-16),
// MIME type as 8-bit text and a zero, picture type, description as UTF-16
// with a byte order mark and a zero unit, then the image bytes.
std::string TWMAFile::PictureBodyFromWmPicture(const uint8_t* data, size_t length) {
  if (data == nullptr) return {};
  TByteView v(data, length);
  if (!v.Fits(0, 5)) return {};
  uint8_t picture_type = v.U8(0);
  uint32_t data_length = v.LE32(1);
  size_t pos = 5;
  auto text = [&](std::u16string& out) {
    for (; v.Fits(pos, 2); pos += 2) {
      char16_t unit = v.LE16(pos);
      if (unit == 0) {
        pos += 2;
        return true;
      }
      out.push_back(unit);
    }
    return false;
  };
  std::u16string mime;
  std::u16string description;
  if (!text(mime) || !text(description) || !v.Fits(pos, data_length) || data_length == 0) return {};
  std::string body(1, '\x01');
  body += Utf16ToUtf8(mime);
  body.push_back('\0');
  body.push_back(static_cast<char>(picture_type));
  body += "\xFF\xFE";
  for (char16_t unit : description) {
    body.push_back(static_cast<char>(unit & 0xFF));
    body.push_back(static_cast<char>(unit >> 8));
  }
  body.append(2, '\0');
  body += v.Str(pos, data_length);
  return body;
}
