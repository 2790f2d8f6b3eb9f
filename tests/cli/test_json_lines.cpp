// The JSON line writer against the JSON library's compact dump, which the
// lines have always been: strings at the edge of the plain fast path, and a
// line with values at the ends of their ranges.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "audiofile/audio_file.h"
#include "cli/json_lines.h"

namespace {

using nlohmann::ordered_json;

std::string LibraryDump(const ordered_json& value) {
  return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

TEST(JsonLines, StringsMatchTheLibrary) {
  const std::string cases[] = {
      "", "plain text 123", " ~", "say \"hi\"", "back\\slash", "/slash", "line\nfeed\ttab\rreturn\bback\fform",
      std::string("zero\0byte", 9), "\x01\x1f", "\x7f", "Grüße ☃ 𝄞", "\xff", "a\xc3", "\xc3(", "\xe2\x82",
      "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "ok\xffok\xc3\xa9", "\xef\xbb\xbf" "bom",
  };
  for (const std::string& text : cases) {
    std::string out;
    AppendJsonString(out, text);
    EXPECT_EQ(out, LibraryDump(ordered_json(text))) << text;
  }
}

TEST(JsonLines, ALineMatchesTheLibrarysDumpOfTheSameValues) {
  TAudioFile audio;
  audio.FileType = atFLAC;
  TTagFull& t = audio.Tags;
  t.Album = "Älbum \"live\"";
  t.Artist = "Artist";
  t.BPM = INT32_MIN;
  t.Comment = "two\nlines";
  t.PictureSize = INT64_MAX;
  t.HasPicture = true;
  t.HasTagV2 = true;
  t.Lyrics = "\xff broken";
  t.TrackNumber = -7;
  t.TrackText = "-7";
  t.TagVersion = "2.4";
  TMpegTotal& s = audio.Stream;
  s.BitRate = UINT32_MAX;
  s.ChannelMode = "Stereo";
  s.Valid = true;
  s.FileSizeKB = INT32_MAX;
  s.SampleRate = 0;
  s.Duration = UINT32_MAX;
  s.DurationText = "1193046:28:15";

  ordered_json tags{
      {"Album", t.Album},         {"Artist", t.Artist},       {"Band", t.Band},
      {"BPM", t.BPM},             {"Comment", t.Comment},     {"Composer", t.Composer},
      {"Conductor", t.Conductor}, {"Copyright", t.Copyright}, {"ContentGroup", t.ContentGroup},
      {"PictureData", t.PictureSize}, {"HasPicture", t.HasPicture}, {"HasLyrics", t.HasLyrics},
      {"HasTagV1", t.HasTagV1},   {"HasTagV2", t.HasTagV2},   {"Genre", t.Genre},
      {"Language", t.Language},   {"Link", t.Link},           {"Lyricist", t.Lyricist},
      {"Lyrics", t.Lyrics},       {"OrigAlbum", t.OrigAlbum}, {"OrigArtist", t.OrigArtist},
      {"OrigLyricist", t.OrigLyricist}, {"RecordDate", t.RecordDate}, {"Remixed", t.Remixed},
      {"Subtitle", t.Subtitle},   {"Title", t.Title},         {"TrackNumber", t.TrackNumber},
      {"TrackText", t.TrackText}, {"TagVersion", t.TagVersion}, {"Year", t.Year},
  };
  ordered_json stream{
      {"BitRate", s.BitRate},       {"ChannelMode", s.ChannelMode}, {"Encoder", s.Encoder},
      {"Valid", s.Valid},           {"FileSizeKB", s.FileSizeKB},   {"SampleRate", s.SampleRate},
      {"Duration", s.Duration},     {"DurationText", s.DurationText},
  };
  const std::string path = "/music/é/song.flac";
  ordered_json line{{"FileName", path}, {"FileType", 10}, {"LoadFile", false}, {"Tags", tags}, {"Stream", stream}};

  std::string out = "kept ";
  AppendJsonLine(out, path, audio, false);
  EXPECT_EQ(out, "kept " + LibraryDump(line));
}

}  // namespace
