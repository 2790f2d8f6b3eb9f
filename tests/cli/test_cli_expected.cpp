// The --json output of every music file among the fixtures, under both ID3
// preferences, compared byte for byte with the committed expected output.
// Loading may be made faster or restructured, but no value may move; a change
// that is meant to move one rewrites the expected files with
// tests/fixtures/make-expected-json.sh and shows the difference in review.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_report.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// The music files below the fixtures folder, relative to it, in byte order.
std::vector<std::string> MusicFixtures() {
  static const std::set<std::string> kExtensions = {".mp3", ".mp2", ".mp1", ".ogg", ".wma", ".wmv",
                                                    ".asf", ".ape", ".mpc", ".aac", ".flac"};
  const fs::path root = VELLORAN_FIXTURES;
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (kExtensions.count(ext) != 0) files.push_back(entry.path().lexically_relative(root).generic_string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs velloran-report inside the fixtures folder and gives its standard output.
std::string RunInFixtures(const std::string& options, const std::vector<std::string>& files) {
  std::string command = "cd '" + std::string(VELLORAN_FIXTURES) + "' && '" + VELLORAN_BIN_DIR +
                        "/velloran-report' " + options;
  for (const auto& file : files) command += " '" + file + "'";
  command += " 2>/dev/null";
  return test::CommandOutput(command);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct PreferenceCase {
  const char* Options;
  const char* Expected;
};

void PrintTo(const PreferenceCase& c, std::ostream* os) { *os << c.Options; }

class ExpectedJson : public ::testing::TestWithParam<PreferenceCase> {};

TEST_P(ExpectedJson, EveryFixtureGivesItsCommittedLine) {
  const auto files = MusicFixtures();
  ASSERT_GT(files.size(), 40u);
  const std::string expected = test::ReadAll(test::Fixture(std::string("expected/") + GetParam().Expected));
  const std::string actual = RunInFixtures(GetParam().Options, files);

  // Line by line first, so a failure names the file whose values moved.
  const auto want = Lines(expected);
  const auto got = Lines(actual);
  ASSERT_EQ(got.size(), files.size()) << "one line per file";
  ASSERT_EQ(want.size(), files.size())
      << "the expected output does not list every fixture; run tests/fixtures/make-expected-json.sh";
  for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(got[i], want[i]) << files[i];
  // And the whole output, which also covers line ends and bytes the line split hides.
  EXPECT_TRUE(actual == expected);
}

INSTANTIATE_TEST_SUITE_P(BothPreferences, ExpectedJson,
                         ::testing::Values(PreferenceCase{"--json", "json-id3v2.jsonl"},
                                           PreferenceCase{"--json --id3v1", "json-id3v1.jsonl"}),
                         [](const auto& info) { return info.index == 0 ? "ID3v2" : "ID3v1"; });

}  // namespace
