// velloran-report --json over the files of today's encoders and taggers
// (tests/fixtures/modern).

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "support/test_support.h"

namespace {

using nlohmann::json;

// The report's line of each file of the folder, by file name.
std::map<std::string, json> ReportLines(const std::string& options = "") {
  std::string command =
      std::string(VELLORAN_BIN_DIR "/velloran-report --json ") + options + " '" + test::Fixture("modern") + "'";
  std::map<std::string, json> lines;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return lines;
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    json line = json::parse(out.substr(start, end - start));
    std::string name = line["FileName"].get<std::string>();
    lines[name.substr(name.rfind('/') + 1)] = line;
    start = end + 1;
  }
  return lines;
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

}  // namespace
