// How the folder walk spells the paths it prints: one slash between folder
// and name, whether or not the folder was given with a trailing slash.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_report.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> FileNames(const std::string& folder) {
  std::string command = std::string(VELLORAN_BIN_DIR) + "/velloran-report --json '" + folder + "' 2>/dev/null";
  std::string out = test::CommandOutput(command);
  std::vector<std::string> names;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) names.push_back(nlohmann::json::parse(line)["FileName"]);
  return names;
}

TEST(CliWalk, PathsJoinFolderAndNameWithOneSlash) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "sub");
  dir.Write("b.mp3", "");
  dir.Write("sub/a.ogg", "");
  const std::string root = dir.Path().string();
  const std::vector<std::string> want = {root + "/b.mp3", root + "/sub/a.ogg"};
  EXPECT_EQ(FileNames(root), want);
  EXPECT_EQ(FileNames(root + "/"), want);
  EXPECT_EQ(FileNames(root + "//"), (std::vector<std::string>{root + "//b.mp3", root + "//sub/a.ogg"}));
}

}  // namespace
