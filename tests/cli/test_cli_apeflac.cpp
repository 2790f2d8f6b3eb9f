#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli_report.h"
#include "support/test_support.h"

namespace {

using nlohmann::json;

// velloran-report --json on the group's folder (or another path), by file name.
std::map<std::string, json> ReportLines(const std::string& options, const std::string& path = test::Fixture("apeflac")) {
  return test::ReportLinesByName(options, path);
}

TEST(CliApeFlac, FlacFiles) {
  auto lines = ReportLines("");
  struct Case {
    const char* name;
    const char* channels;
    unsigned rate;
  } cases[] = {{"stereo.flac", "Stereo", 44100}, {"six.flac", "6", 8000}, {"id3.flac", "Stereo", 44100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(lines.count(c.name), 1u);
    const json& s = lines[c.name]["Stream"];
    EXPECT_TRUE(lines[c.name]["LoadFile"].get<bool>());
    EXPECT_TRUE(s["Valid"].get<bool>());
    EXPECT_EQ(s["ChannelMode"], c.channels);
    EXPECT_EQ(s["BitRate"], 16);  // bits per sample, as flac made them
    EXPECT_EQ(s["SampleRate"], c.rate);
    EXPECT_EQ(s["Duration"], 1);  // exactly one second of samples
    std::string ratio = s["Encoder"].get<std::string>();
    EXPECT_EQ(ratio.back(), '%');
    EXPECT_GT(std::stod(ratio), 1.0);
    EXPECT_LT(std::stod(ratio), 100.0);
  }
}

TEST(CliApeFlac, AdtsFilesAgainstWhatFfmpegReported) {
  auto lines = ReportLines("");
  struct Case {
    const char* name;
    const char* channels;
    unsigned rate;
    double ffmpeg_kbps, ffmpeg_seconds;
  } cases[] = {{"stereo.aac", "Stereo", 44100, 96.531, 1.044887}, {"mono.aac", "Mono", 22050, 34.732, 1.068064}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(lines.count(c.name), 1u);
    const json& s = lines[c.name]["Stream"];
    EXPECT_TRUE(s["Valid"].get<bool>());
    EXPECT_EQ(s["Encoder"], "ADTS (VBR)");  // ffmpeg marks its buffer fullness as variable
    EXPECT_EQ(s["ChannelMode"], c.channels);
    EXPECT_EQ(s["SampleRate"], c.rate);
    EXPECT_NEAR(s["BitRate"].get<double>(), c.ffmpeg_kbps, 2);
    EXPECT_NEAR(s["Duration"].get<double>(), c.ffmpeg_seconds, 1);
  }
}

// An ADIF header with one channel pair element, made from its bits.
TEST(CliApeFlac, StereoAdif) {
  test::TempDir dir;
  std::string adif = test::Bytes({0x41, 0x44, 0x49, 0x46, 0x00, 0x3E, 0x80, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x80, 0x00,
                                  0x04, 0x00});
  auto lines = ReportLines("", dir.Write("stereo.aac", adif + test::Fill(16000)));
  const json& s = lines["stereo.aac"]["Stream"];
  EXPECT_TRUE(s["Valid"].get<bool>());
  EXPECT_EQ(s["ChannelMode"], "Stereo");
  EXPECT_EQ(s["Encoder"], "ADIF (CBR)");
  EXPECT_EQ(s["SampleRate"], 44100);
  EXPECT_EQ(s["BitRate"], 128);
}

TEST(CliApeFlac, ApeTagsAndMonkeyAndMusepackHosts) {
  auto lines = ReportLines("");
  const json& ape = lines["tagged.ape"];
  EXPECT_EQ(ape["FileType"], 7);
  // The host is one frame of 44100 stereo 16-bit samples.
  double size = static_cast<double>(test::ReadAll(test::Fixture("apeflac/tagged.ape")).size());
  char ratio[16];
  std::snprintf(ratio, sizeof ratio, "%.2f", size / (44100 * 4 + 44) * 100);
  EXPECT_EQ(ape["Stream"]["Encoder"], std::string("V.3.97 (") + ratio + "% - High)");
  EXPECT_EQ(ape["Stream"]["Duration"], 1);
  EXPECT_EQ(ape["Stream"]["BitRate"], 16);
  EXPECT_EQ(ape["Tags"]["Title"], "T\xC3\xAFtle \xE2\x9C\x93");
  EXPECT_EQ(ape["Tags"]["TrackText"], "4/10");
  EXPECT_TRUE(ape["Tags"]["HasPicture"].get<bool>());
  EXPECT_EQ(ape["Tags"]["TagVersion"], "2000");  // C.UTF-8 has no thousands separator

  const json& mpc = lines["v1000.mpc"];
  EXPECT_EQ(mpc["FileType"], 8);
  EXPECT_EQ(mpc["Stream"]["Encoder"], "SV7, profile Standard");
  EXPECT_EQ(mpc["Stream"]["SampleRate"], 44100);
  EXPECT_EQ(mpc["Tags"]["TagVersion"], "1000");
  EXPECT_EQ(mpc["Tags"]["Title"], "Old Tag");

  EXPECT_EQ(lines["id3v1-after.ape"]["Tags"]["Title"], "Before ID3v1");
}

TEST(CliApeFlac, Id3v1PreferenceForFlacAndAac) {
  auto lines = ReportLines("--id3v1");
  EXPECT_EQ(lines["id3.flac"]["Tags"]["Title"], "FLAC Title");
  EXPECT_EQ(lines["tagged.aac"]["Tags"]["Artist"], "AAC Artist");
  EXPECT_EQ(lines["tagged.aac"]["Stream"]["Encoder"], "ADTS (VBR)");
  EXPECT_EQ(lines["stereo.flac"]["Tags"]["HasTagV1"], false);
}

}  // namespace
