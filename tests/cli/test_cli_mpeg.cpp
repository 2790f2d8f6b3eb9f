#include <gtest/gtest.h>

#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli_report.h"
#include "support/test_support.h"

namespace {

using nlohmann::json;

// velloran-report --json on the MPEG fixtures, by file name.
std::map<std::string, json> Report(const std::string& options) {
  return test::ReportLinesByName(options, test::Fixture("mpeg"));
}

// Stream values as the headers give them: Xing files frames * samples per
// frame / rate (about 1.04 to 1.15 s), the others audio bytes over the
// table rate; all round to one second.
TEST(CliMpeg, StreamValuesOfEveryFixture) {
  struct Case {
    const char* file;
    unsigned bitrate;
    unsigned samplerate;
    const char* mode;
    const char* encoder;
    int kb;
  } cases[] = {
      {"cbr128_stereo.mp3", 128, 44100, "Joint Stereo", "LAME 3.100", 17},
      {"vbr_v5.mp3", 40, 44100, "Joint Stereo", "LAME 3.100", 5},
      {"abr64.mp3", 57, 44100, "Joint Stereo", "LAME 3.100", 7},
      {"cbr64_no_xing.mp3", 64, 44100, "Joint Stereo", "LAME 3.100", 8},
      {"mono_vbr_32k.mp3", 40, 32000, "Mono", "LAME 3.100", 5},
      {"mpeg2_vbr_22k.mp3", 15, 22050, "Joint Stereo", "LAME 3.100", 2},
      {"mpeg25_mono_vbr_8k.mp3", 14, 8000, "Mono", "LAME 3.100", 2},
      {"short_8k.mp3", 8, 8000, "Mono", "FhG", 1},
      {"layer2.mp2", 64, 48000, "Mono", "QDesign", 8},
      {"id3v2_v23_latin1.mp3", 32, 32000, "Mono", "LAME 3.100", 6},
      {"eyed3_v24_utf8.mp3", 32, 32000, "Mono", "LAME 3.100", 5},
      {"eyed3_v23_utf16.mp3", 32, 32000, "Mono", "LAME 3.100", 5},
      {"bigcover_v24.mp3", 32, 32000, "Mono", "LAME 3.100", 113},
  };
  auto lines = Report("");
  for (const Case& c : cases) {
    ASSERT_TRUE(lines.count(c.file)) << c.file;
    const json& s = lines[c.file]["Stream"];
    EXPECT_TRUE(lines[c.file]["LoadFile"].get<bool>()) << c.file;
    EXPECT_TRUE(s["Valid"].get<bool>()) << c.file;
    EXPECT_EQ(s["BitRate"].get<unsigned>(), c.bitrate) << c.file;
    EXPECT_EQ(s["SampleRate"].get<unsigned>(), c.samplerate) << c.file;
    EXPECT_EQ(s["Duration"].get<unsigned>(), 1u) << c.file;
    EXPECT_EQ(s["DurationText"].get<std::string>(), "00:01") << c.file;
    EXPECT_EQ(s["ChannelMode"].get<std::string>(), c.mode) << c.file;
    EXPECT_EQ(s["Encoder"].get<std::string>(), c.encoder) << c.file;
    EXPECT_EQ(s["FileSizeKB"].get<int>(), c.kb) << c.file;
  }
  // The covers beside the files are no music files.
  EXPECT_FALSE(lines["cover.jpg"]["LoadFile"].get<bool>());
}

TEST(CliMpeg, TagValuesWrittenByTheTaggers) {
  auto lines = Report("");
  const json& latin = lines["id3v2_v23_latin1.mp3"]["Tags"];
  EXPECT_EQ(latin["TagVersion"], "2.3");
  EXPECT_EQ(latin["Artist"], "Björk Guðmundsdóttir");
  EXPECT_EQ(latin["Title"], "Café del Mar");
  EXPECT_EQ(latin["Album"], "Café Album");
  EXPECT_EQ(latin["Year"], "2003");
  EXPECT_EQ(latin["TrackText"], "3/12");
  EXPECT_EQ(latin["Genre"], "Pop");
  EXPECT_EQ(latin["Comment"], "Naïve comment");
  EXPECT_EQ(latin["HasTagV1"], true);
  EXPECT_EQ(latin["HasPicture"], false);

  const json& utf8 = lines["eyed3_v24_utf8.mp3"]["Tags"];
  EXPECT_EQ(utf8["TagVersion"], "2.4");
  EXPECT_EQ(utf8["Artist"], "Ärtist ☃");
  EXPECT_EQ(utf8["Title"], "Tïtle ♪");
  EXPECT_EQ(utf8["Album"], "Älbum");
  EXPECT_EQ(utf8["Year"], "2021");
  EXPECT_EQ(utf8["TrackNumber"], 3);
  EXPECT_EQ(utf8["Genre"], "Rock");
  EXPECT_EQ(utf8["BPM"], 120);
  EXPECT_EQ(utf8["Composer"], "Cömposer");
  EXPECT_EQ(utf8["Comment"], "Plain comment ✓");
  EXPECT_EQ(utf8["HasLyrics"], true);
  EXPECT_EQ(utf8["Lyrics"], "First line\nSecond line ☃");
  EXPECT_EQ(utf8["HasPicture"], true);
  EXPECT_EQ(utf8["HasTagV1"], false);

  const json& utf16 = lines["eyed3_v23_utf16.mp3"]["Tags"];
  EXPECT_EQ(utf16["TagVersion"], "2.3");
  EXPECT_EQ(utf16["Title"], "ÿes 𝄞 clef");
  EXPECT_EQ(utf16["Artist"], "Ünïcode Ärtist");
  EXPECT_EQ(utf16["Year"], "1999");
  EXPECT_EQ(utf16["TrackText"], "07");
  EXPECT_EQ(utf16["HasPicture"], true);

  const json& big = lines["bigcover_v24.mp3"]["Tags"];
  EXPECT_EQ(big["TagVersion"], "2.4");
  EXPECT_EQ(big["Title"], "After The Cover");
  EXPECT_EQ(big["Genre"], "Rock");
  EXPECT_EQ(big["HasPicture"], true);
  EXPECT_GT(big["PictureData"].get<size_t>(), 100u * 1024);

  const json& none = lines["vbr_v5.mp3"]["Tags"];
  EXPECT_EQ(none["TagVersion"], "");
  EXPECT_EQ(none["HasTagV2"], false);
}

TEST(CliMpeg, Id3v1Preference) {
  auto lines = Report("--id3v1");
  const json& t = lines["id3v2_v23_latin1.mp3"]["Tags"];
  EXPECT_EQ(t["TagVersion"], "1.2");
  EXPECT_EQ(t["Title"], "Café del Mar");
  EXPECT_EQ(t["Genre"], "Pop");
  EXPECT_EQ(t["HasTagV2"], true);
  EXPECT_EQ(lines["id3v2_v23_latin1.mp3"]["FileType"], 1);
  EXPECT_EQ(lines["eyed3_v24_utf8.mp3"]["Tags"]["Title"], "");
}

}  // namespace
