#include "cli/json_lines.h"

#include <charconv>
#include <cstdint>
#include <type_traits>

#include <nlohmann/json.hpp>

namespace {

// Plain printable ASCII without a quote or a backslash stands in JSON as it
// is, and that is nearly every tag text.
bool IsPlainAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') return false;
  return true;
}

template <class TNumber>
void AppendNumber(std::string& out, TNumber value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// One "key":value member, with the comma before every member but the first.
class TMembers {
 public:
  explicit TMembers(std::string& out) : FOut(out) { FOut.push_back('{'); }
  ~TMembers() { FOut.push_back('}'); }
  TMembers(const TMembers&) = delete;
  TMembers& operator=(const TMembers&) = delete;

  // Starts a member whose value the caller writes next.
  std::string& Key(const char* key) {
    if (!FFirst) FOut.push_back(',');
    FFirst = false;
    FOut.push_back('"');
    FOut += key;
    FOut += "\":";
    return FOut;
  }
  void Add(const char* key, const std::string& value) { AppendJsonString(Key(key), value); }
  void Add(const char* key, bool value) { Key(key) += value ? "true" : "false"; }
  template <class TNumber, class = std::enable_if_t<std::is_integral_v<TNumber>>>
  void Add(const char* key, TNumber value) {
    AppendNumber(Key(key), value);
  }

 private:
  std::string& FOut;
  bool FFirst = true;
};

void AppendTags(std::string& out, const TTagFull& t) {
  TMembers m(out);
  m.Add("Album", t.Album);
  m.Add("Artist", t.Artist);
  m.Add("Band", t.Band);
  m.Add("BPM", t.BPM);
  m.Add("Comment", t.Comment);
  m.Add("Composer", t.Composer);
  m.Add("Conductor", t.Conductor);
  m.Add("Copyright", t.Copyright);
  m.Add("ContentGroup", t.ContentGroup);
  m.Add("PictureData", t.PictureSize);  // the picture's length in bytes
  m.Add("HasPicture", t.HasPicture);
  m.Add("HasLyrics", t.HasLyrics);
  m.Add("HasTagV1", t.HasTagV1);
  m.Add("HasTagV2", t.HasTagV2);
  m.Add("Genre", t.Genre);
  m.Add("Language", t.Language);
  m.Add("Link", t.Link);
  m.Add("Lyricist", t.Lyricist);
  m.Add("Lyrics", t.Lyrics);
  m.Add("OrigAlbum", t.OrigAlbum);
  m.Add("OrigArtist", t.OrigArtist);
  m.Add("OrigLyricist", t.OrigLyricist);
  m.Add("RecordDate", t.RecordDate);
  m.Add("Remixed", t.Remixed);
  m.Add("Subtitle", t.Subtitle);
  m.Add("Title", t.Title);
  m.Add("TrackNumber", t.TrackNumber);
  m.Add("TrackText", t.TrackText);
  m.Add("TagVersion", t.TagVersion);
  m.Add("Year", t.Year);
}

void AppendStream(std::string& out, const TMpegTotal& s) {
  TMembers m(out);
  m.Add("BitRate", s.BitRate);
  m.Add("ChannelMode", s.ChannelMode);
  m.Add("Encoder", s.Encoder);
  m.Add("Valid", s.Valid);
  m.Add("FileSizeKB", s.FileSizeKB);
  m.Add("SampleRate", s.SampleRate);
  m.Add("Duration", s.Duration);
  m.Add("DurationText", s.DurationText);
}

}  // namespace

void AppendJsonString(std::string& out, const std::string& text) {
  if (IsPlainAscii(text)) {
    out.push_back('"');
    out += text;
    out.push_back('"');
    return;
  }
  // Escapes, other scripts and broken UTF-8 take the library's own rules,
  // so the line stays byte for byte what it has always been.
  out += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void AppendJsonLine(std::string& out, const std::string& path, const TAudioFile& audio, bool loaded) {
  TMembers m(out);
  m.Add("FileName", path);
  m.Add("FileType", static_cast<int>(audio.FileType));
  m.Add("LoadFile", loaded);
  AppendTags(m.Key("Tags"), audio.Tags);
  AppendStream(m.Key("Stream"), audio.Stream);
}
