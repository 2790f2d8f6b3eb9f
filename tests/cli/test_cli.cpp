#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "support/test_support.h"

namespace {

using nlohmann::json;

// Runs velloran-report with arguments and gives its JSON lines.
std::vector<json> RunCli(const std::string& args) {
  std::string command = std::string(VELLORAN_BIN_DIR) + "/velloran-report " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  std::vector<json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
  return lines;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

TEST(Cli, ID3v1OnlyFileWithEitherPreference) {
  std::string file = Quote(test::Fixture("foundation/v1only.mp3"));
  auto v1 = RunCli("--json --id3v1 " + file);
  ASSERT_EQ(v1.size(), 1u);
  EXPECT_EQ(v1[0]["FileType"], 1);
  EXPECT_EQ(v1[0]["Tags"]["Title"], "Stone Song");
  EXPECT_EQ(v1[0]["Tags"]["TrackText"], "7");
  EXPECT_EQ(v1[0]["Tags"]["TrackNumber"], 7);
  EXPECT_EQ(v1[0]["Tags"]["Genre"], "Pop");
  EXPECT_EQ(v1[0]["Tags"]["TagVersion"], "1.2");

  auto v2 = RunCli("--json " + file);
  ASSERT_EQ(v2.size(), 1u);
  EXPECT_EQ(v2[0]["FileType"], 2);
  EXPECT_EQ(v2[0]["Tags"]["HasTagV1"], true);
  EXPECT_EQ(v2[0]["Tags"]["HasTagV2"], false);
  EXPECT_EQ(v2[0]["Tags"]["Title"], "");
  EXPECT_EQ(v2[0]["Tags"]["Genre"], "");
}

TEST(Cli, EveryLineCarriesBothRecordsWithAllFields) {
  auto lines = RunCli("--json " + Quote(test::Fixture("foundation/v1only.mp3")));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]["Tags"].size(), 30u);
  EXPECT_EQ(lines[0]["Stream"].size(), 8u);
  EXPECT_TRUE(lines[0]["Tags"]["PictureData"].is_number());
  for (const char* key : {"FileName", "FileType", "LoadFile", "Tags", "Stream"}) EXPECT_TRUE(lines[0].contains(key));
}

TEST(Cli, UnreadablePathsGiveAFalseLineAndTheRunGoesOn) {
  test::TempDir dir;
  std::string empty = dir.Write("empty.mp3", "");
  std::string unknown = dir.Write("song.xyz", "data");
  std::string missing = dir.File("missing.mp3");
  auto lines = RunCli("--json " + Quote(missing) + " " + Quote(empty) + " " + Quote(unknown) + " " +
                   Quote(test::Fixture("foundation/v1only.mp3")));
  ASSERT_EQ(lines.size(), 4u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i]["LoadFile"], false) << lines[i]["FileName"];
    EXPECT_EQ(lines[i]["Stream"]["Valid"], false);
    EXPECT_EQ(lines[i]["Tags"]["Title"], "");
    EXPECT_EQ(lines[i]["Tags"]["HasTagV1"], false);
  }
  EXPECT_EQ(lines[2]["FileType"], 0);
  EXPECT_EQ(lines[3]["Tags"]["HasTagV1"], true);
}

TEST(Cli, FoldersAreWalkedRecursivelyInNameOrder) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "b" / "inner");
  dir.Write("c.mp3", "");
  dir.Write("a.mp3", "");
  dir.Write("b/inner/z.ogg", "");
  dir.Write("b/y.flac", "");
  dir.Write("Émile.mp3", "");
  auto lines = RunCli("--json " + Quote(dir.Path().string()));
  std::vector<std::string> names;
  for (const auto& l : lines) names.push_back(std::filesystem::path(l["FileName"].get<std::string>()).filename());
  EXPECT_EQ(names, (std::vector<std::string>{"a.mp3", "z.ogg", "y.flac", "c.mp3", "Émile.mp3"}));
}

TEST(Cli, UsageErrors) {
  std::string bin = std::string(VELLORAN_BIN_DIR) + "/velloran-report";
  EXPECT_NE(std::system((bin + " >/dev/null 2>&1").c_str()), 0);
  EXPECT_NE(std::system((bin + " --json >/dev/null 2>&1").c_str()), 0);
  EXPECT_NE(std::system((bin + " --bogus x >/dev/null 2>&1").c_str()), 0);
}

}  // namespace
