// velloran-report --json on the Windows Media fixtures: the tags that were
// written into them, and stream values next to the true length (each file
// holds one second of sound).

#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "support/test_support.h"

namespace {

nlohmann::json Report(const std::string& fixture) {
  std::string command = std::string(VELLORAN_BIN_DIR "/velloran-report --json '") + test::Fixture(fixture) + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0);
  return nlohmann::json::parse(out);
}

struct Row {
  const char* Fixture;
  int FileType;
  const char* Channels;
  unsigned SampleRate;
  unsigned BitRate;
  int FileSizeKB;
};

TEST(CliWma, StreamValues) {
  const Row rows[] = {
      {"wma/tagged.wma", 4, "Stereo", 44100, 64, 12},
      {"wma/mono_notags.wma", 4, "Mono", 22050, 32, 7},
      {"wma/clip.asf", 6, "Stereo", 48000, 96, 15},
      {"wma/clip.wmv", 5, "Mono", 44100, 48, 10},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.Fixture);
    nlohmann::json j = Report(r.Fixture);
    EXPECT_EQ(j["FileType"], r.FileType);
    EXPECT_EQ(j["LoadFile"], true);
    const auto& s = j["Stream"];
    EXPECT_EQ(s["Valid"], true);
    EXPECT_EQ(s["ChannelMode"], r.Channels);
    EXPECT_EQ(s["SampleRate"], r.SampleRate);
    EXPECT_EQ(s["BitRate"], r.BitRate);
    EXPECT_EQ(s["FileSizeKB"], r.FileSizeKB);
    EXPECT_EQ(s["Duration"], 1) << "one second of sound (1.02 s stated)";
    EXPECT_EQ(s["DurationText"], "00:01");
  }
}

TEST(CliWma, TagsOfTheTaggedFile) {
  const auto t = Report("wma/tagged.wma")["Tags"];
  EXPECT_EQ(t["HasTagV1"], true);
  EXPECT_EQ(t["Title"], "Morning Tone");
  EXPECT_EQ(t["Artist"], "Test Artist");
  EXPECT_EQ(t["Album"], "Test Album");
  EXPECT_EQ(t["Genre"], "Ambient");
  EXPECT_EQ(t["TrackText"], "3/12");
  EXPECT_EQ(t["TrackNumber"], 3);
  EXPECT_EQ(t["Year"], "2021");
  EXPECT_EQ(t["Comment"], "A comment");
  EXPECT_EQ(t["Composer"], "Test Composer");
  EXPECT_EQ(t["Conductor"], "Test Conductor");
  EXPECT_EQ(t["Lyrics"], "First line\r\nSecond line");
  EXPECT_EQ(t["HasLyrics"], true);
  EXPECT_EQ(t["HasPicture"], true);
  EXPECT_GT(t["PictureData"].get<int>(), 200);
  EXPECT_EQ(t["TagVersion"], "12.0.17763.1");
}

TEST(CliWma, TagsOfTheOtherFiles) {
  const auto asf = Report("wma/clip.asf")["Tags"];
  EXPECT_EQ(asf["Title"], "Asf Title");
  EXPECT_EQ(asf["Artist"], "Asf Artist");
  EXPECT_EQ(asf["Album"], "Asf Album");
  EXPECT_EQ(asf["HasPicture"], true) << "from the ID3 attribute";
  EXPECT_EQ(Report("wma/clip.wmv")["Tags"]["Title"], "Video Title");
  const auto none = Report("wma/mono_notags.wma")["Tags"];
  EXPECT_EQ(none["HasTagV1"], false);
  EXPECT_EQ(none["Title"], "");
  EXPECT_EQ(none["TagVersion"], "");
}

}  // namespace
