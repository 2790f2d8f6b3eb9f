// velloran-report --json over the files of today's encoders and taggers
// (tests/fixtures/modern).

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli_report.h"
#include "support/test_support.h"

namespace {

using nlohmann::json;

// The report's line of each file of the folder, by file name.
std::map<std::string, json> ReportLines(const std::string& options = "") {
  return test::ReportLinesByName(options, test::Fixture("modern"));
}

TEST(CliModern, MusepackVersion8) {
  auto lines = ReportLines();
  struct Case {
    const char* name;
    const char* channels;
    unsigned rate, kbps;
  } cases[] = {{"sv8.mpc", "Joint Stereo", 44100, 47}, {"sv8_mono.mpc", "Mono", 48000, 39}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(lines.count(c.name), 1u);
    const json& s = lines[c.name]["Stream"];
    EXPECT_EQ(lines[c.name]["FileType"], 8);
    EXPECT_TRUE(s["Valid"].get<bool>());
    EXPECT_EQ(s["Encoder"], "SV8");
    EXPECT_EQ(s["ChannelMode"], c.channels);
    EXPECT_EQ(s["SampleRate"], c.rate);
    EXPECT_EQ(s["BitRate"], c.kbps);
    EXPECT_EQ(s["Duration"], 1);
  }
  EXPECT_EQ(lines["sv8.mpc"]["Tags"]["Title"], "SV8 Title");
  EXPECT_EQ(lines["sv8.mpc"]["Tags"]["TrackText"], "5");
}

// A FLAC and an Ogg file with their own comments and a cover look alike:
// the file's own tag, its vendor as the tag version, the front cover.
TEST(CliModern, FlacAndOggCommentsAndCovers) {
  auto lines = ReportLines();
  const json& flac = lines["comments.flac"]["Tags"];
  EXPECT_EQ(flac["Title"], "Flac T\xC3\xAFtle");
  EXPECT_EQ(flac["Album"], "Flac Album");
  EXPECT_EQ(flac["TrackNumber"], 3);
  EXPECT_EQ(flac["TagVersion"], "reference libFLAC 1.4.2 20221022");
  const json& ogg = lines["cover.ogg"]["Tags"];
  EXPECT_EQ(ogg["Title"], "Ogg Cover");
  EXPECT_EQ(ogg["TagVersion"], lines["cover.ogg"]["Stream"]["Encoder"]);
  // The cover is the 189-byte PNG behind an 18-byte picture header.
  for (const json* tags : {&flac, &ogg}) {
    EXPECT_EQ((*tags)["HasTagV1"], true);
    EXPECT_EQ((*tags)["HasTagV2"], false);
    EXPECT_EQ((*tags)["HasPicture"], true);
    EXPECT_EQ((*tags)["PictureData"], 18 + 189);
  }
  EXPECT_EQ(lines["nopicture.flac"]["Tags"]["Title"], "Plain Comments");
  EXPECT_EQ(lines["nopicture.flac"]["Tags"]["HasPicture"], false);
  // Under the ID3v1 preference the FLAC file shows the same.
  EXPECT_EQ(ReportLines("--id3v1")["comments.flac"]["Tags"], flac);
}

TEST(CliModern, OggVideoWithVorbisSound) {
  auto lines = ReportLines();
  const json& line = lines["theora.ogg"];
  EXPECT_EQ(line["LoadFile"], true);
  EXPECT_EQ(line["Stream"]["Valid"], true);
  EXPECT_EQ(line["Stream"]["SampleRate"], 22050);
  EXPECT_EQ(line["Stream"]["ChannelMode"], "Stereo");
  EXPECT_EQ(line["Stream"]["Duration"], 1);
  EXPECT_EQ(line["Tags"]["Title"], "Theora Sound");
}

}  // namespace
