#include "readers/ogg_file.h"

#include <string_view>

#include "toolkit/str_tools.h"
#include "toolkit/text_codec.h"
#include "tagbridge/orva_tags.h"

namespace {

// Comment names and the fields they fill; LYRICS has its own rule.
struct TCommentField {
  std::string_view Name;
  std::string TOGGFile::*Field;
};

constexpr TCommentField kCommentFields[] = {
    {"TITLE", &TOGGFile::FTitle},
    {"ARTIST", &TOGGFile::FArtist},
    {"ALBUM", &TOGGFile::FAlbum},
    {"GENRE", &TOGGFile::FGenre},
    {"TRACKNUMBER", &TOGGFile::FTrack},
    {"DATE", &TOGGFile::FYear},
    {"COMMENT", &TOGGFile::FComment},
    {"LINK", &TOGGFile::FLink},
    {"COPYRIGHT", &TOGGFile::FCopyright},
    {"LANGUAGE", &TOGGFile::FLanguage},
    {"BPM", &TOGGFile::FBPM},
    {"LYRICIST", &TOGGFile::FLyricist},
    {"SUBTITLE", &TOGGFile::FSubtitle},
    {"COMPOSER", &TOGGFile::FComposer},
    {"CONDUCTOR", &TOGGFile::FConductor},
    {"BAND", &TOGGFile::FBand},
    {"REMIXED", &TOGGFile::FRemixed},
    {"RECDATE", &TOGGFile::FRecordDate},
    {"CGDESCR", &TOGGFile::FContentGroup},
    {"ORARTIST", &TOGGFile::FOrigArtist},
    {"ORALBUM", &TOGGFile::FOrigAlbum},
    {"ORLYRICIST", &TOGGFile::FOrigLyricist},
};

// Comment names are ASCII; only a to z are folded.
std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// Runs the end of a read whatever happens in between.
struct TEndRead {
  ~TEndRead() { OGG_EndReadTags(); }
};

}  // namespace

TFrameItemOGG& TFramesLib_OGG::Add(std::string name, std::string value) {
  FItems.push_back(TFrameItemOGG{std::move(name), std::move(value)});
  return FItems.back();
}

void TOGGFile::ClearFields() {
  for (const TCommentField& f : kCommentFields) (this->*f.Field).clear();
  FLyrics.clear();
  FHasTags = false;
  FHasLyrics = false;
  FValid = false;
  FFrames.Clear();
}

bool TOGGFile::ReadHeader(const std::string& path) {
  ClearFields();
  TEndRead end_read;
  OGG_BeginReadTags(path.c_str());
  const OggHeaderInfo* header = OGG_GetHeaderInfo();
  const OggTagsInfo* tags = OGG_GetTagsInfo();
  if (header == nullptr || header->Valid != 1) return false;

  FValid = true;
  FSampleRate = header->SampleRate;
  FBitRate = ClampI32(RoundEven(header->NominalBitrate / 1000.0));
  FFileSize = ClampI32(RoundEven(header->FileSize / 1024.0));
  FDuration = header->Duration;
  FChannelMode = ChannelCountText(header->Channels);
  FVendor = tags != nullptr && tags->Vendor != nullptr ? tags->Vendor : "";

  if (tags == nullptr || tags->Count < 1 || tags->Comments == nullptr) return true;
  FHasTags = true;
  ReadComments(tags->Comments, tags->Count);
  return true;
}

// The block holds count zero-terminated entries one after the other.
void TOGGFile::ReadComments(const char* block, int32_t count) {
  const char* entry = block;
  for (int32_t i = 0; i < count; ++i) {
    std::string text(entry);
    entry += text.size() + 1;
    FileComment(text);
  }
}

void TOGGFile::FileComment(const std::string& entry) {
  // An entry without "=" (a comment the library could not convert, or a
  // malformed one) has no name to file it under and is passed over.
  size_t eq = entry.find('=');
  if (eq == std::string::npos) return;
  std::string name = UpperAscii(std::string_view(entry).substr(0, eq));
  std::string value = entry.substr(eq + 1);

  if (name == "LYRICS") {
    if (value.empty()) return;
    FLyrics = TrimControls(value);
    FHasLyrics = true;
    return;
  }
  for (const TCommentField& f : kCommentFields) {
    if (f.Name == name) {
      this->*f.Field = std::move(value);
      return;
    }
  }
  FFrames.Add(std::move(name), std::move(value));
}
