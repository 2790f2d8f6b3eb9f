#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace {

using nlohmann::json;

// One JSON line per file from velloran-report --json, keyed by file name.
std::map<std::string, json> ReportOggFixtures() {
  std::string command = std::string(VELLORAN_BIN_DIR) + "/velloran-report --json " + test::Fixture("ogg");
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::map<std::string, json> out;
  if (!pipe) return out;
  std::string text;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) text.append(buffer, got);
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    json line = json::parse(text.substr(start, end - start));
    std::string name = line["FileName"].get<std::string>();
    out[name.substr(name.rfind('/') + 1)] = line;
  }
  return out;
}

struct Row {
  const char* file;
  const char* title;
  const char* artist;
  const char* album;
  const char* track;
  int track_number;
  const char* year;
  bool has_lyrics;
  const char* channels;
  unsigned sample_rate;
  unsigned bit_rate;
  unsigned duration;  // true length truncated to whole seconds
  const char* duration_text;
};

TEST(CliOgg, ReportShowsTagsAndStreamValues) {
  const Row rows[] = {
      {"tagged_stereo.ogg", "Song Title", "Some Artist", "An Album", "3/12", 3, "2021", true, "Stereo", 22050, 30, 2,
       "00:02"},
      {"mono.ogg", "Mono Title", "Mono Artist", "", "", 0, "", false, "Mono", 8000, 8, 1, "00:01"},
      {"six_channels.ogg", "Six Channels", "", "", "", 0, "", false, "6", 22050, 96, 1, "00:01"},
      {"utf8_title.ogg", "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF0\xA0\x80\x80",
       "\xC3\x9Cn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9", "", "", 0, "", false, "Mono", 8000, 8, 1, "00:01"},
      {"long_lyrics.ogg", "Long Lyrics", "", "", "", 0, "", true, "Mono", 8000, 8, 1, "00:01"},
      {"chained.ogg", "First Stream", "", "", "", 0, "", false, "Mono", 8000, 8, 1, "00:01"},
      {"multiplexed.ogg", "Multiplexed One", "", "", "", 0, "", false, "Mono", 8000, 14, 1, "00:01"},
      {"small_pages.ogg", "Small Pages", "", "", "", 0, "", false, "Stereo", 22050, 37, 2, "00:02"},
      {"comment_cases.ogg", "Other", "", "", "7", 7, "", true, "Mono", 8000, 8, 1, "00:01"},
  };
  std::map<std::string, json> report = ReportOggFixtures();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    ASSERT_EQ(report.count(r.file), 1u);
    const json& line = report[r.file];
    const json& tags = line["Tags"];
    const json& stream = line["Stream"];
    EXPECT_EQ(line["FileType"], 3);
    EXPECT_EQ(line["LoadFile"], true);
    EXPECT_EQ(tags["Title"], r.title);
    EXPECT_EQ(tags["Artist"], r.artist);
    EXPECT_EQ(tags["Album"], r.album);
    EXPECT_EQ(tags["TrackText"], r.track);
    EXPECT_EQ(tags["TrackNumber"], r.track_number);
    EXPECT_EQ(tags["Year"], r.year);
    EXPECT_EQ(tags["HasLyrics"], r.has_lyrics);
    EXPECT_EQ(tags["HasTagV1"], true);
    EXPECT_EQ(stream["Valid"], true);
    EXPECT_EQ(stream["ChannelMode"], r.channels);
    EXPECT_EQ(stream["SampleRate"], r.sample_rate);
    EXPECT_EQ(stream["BitRate"], r.bit_rate);
    EXPECT_EQ(stream["Duration"], r.duration);
    EXPECT_EQ(stream["DurationText"], r.duration_text);
    EXPECT_EQ(tags["TagVersion"], stream["Encoder"]);
  }
}

TEST(CliOgg, TaggedStereoCarriesEveryMappedComment) {
  std::map<std::string, json> report = ReportOggFixtures();
  ASSERT_EQ(report.count("tagged_stereo.ogg"), 1u);
  const json& tags = report["tagged_stereo.ogg"]["Tags"];
  EXPECT_EQ(tags["Genre"], "Rock");
  EXPECT_EQ(tags["Comment"], "A comment");
  EXPECT_EQ(tags["Language"], "eng");
  EXPECT_EQ(tags["BPM"], 120);
  EXPECT_EQ(tags["Lyrics"], "First line\nSecond line");
  EXPECT_EQ(tags["TagVersion"], "Xiph.Org libVorbis I 20200704 (Reducing Environment)");
  EXPECT_EQ(report["tagged_stereo.ogg"]["Stream"]["FileSizeKB"], 14);
}

TEST(CliOgg, NoCommentsAndEmptyVendor) {
  std::map<std::string, json> report = ReportOggFixtures();
  const json& bare = report["no_comments.ogg"];
  EXPECT_EQ(bare["LoadFile"], true);
  EXPECT_EQ(bare["Stream"]["Valid"], true);
  EXPECT_EQ(bare["Tags"]["HasTagV1"], false);
  EXPECT_EQ(bare["Tags"]["TagVersion"], "");
  EXPECT_EQ(bare["Stream"]["Encoder"], "Xiph.Org libVorbis I 20200704 (Reducing Environment)");
  const json& no_vendor = report["empty_vendor.ogg"];
  EXPECT_EQ(no_vendor["Tags"]["Title"], "No Vendor");
  EXPECT_EQ(no_vendor["Tags"]["TagVersion"], "");
  EXPECT_EQ(no_vendor["Stream"]["Encoder"], "");
}

TEST(CliOgg, AFileThatIsNoOggStreamIsNotValid) {
  test::TempDir dir;
  const std::string path = dir.Write("fake.ogg", std::string(5000, 'x'));
  std::string command = std::string(VELLORAN_BIN_DIR) + "/velloran-report --json " + path;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  char buffer[8192] = {};
  size_t got = fread(buffer, 1, sizeof buffer - 1, pipe.get());
  json line = json::parse(std::string(buffer, got));
  EXPECT_EQ(line["FileType"], 3);
  EXPECT_EQ(line["LoadFile"], false);
  EXPECT_EQ(line["Stream"]["Valid"], false);
  EXPECT_EQ(line["Tags"]["HasTagV1"], false);
}

}  // namespace
