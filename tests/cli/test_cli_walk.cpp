// How the folder walk spells the paths it prints: one slash between folder
// and name, whether or not the folder was given with a trailing slash.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

std::vector<std::string> FileNames(const std::string& folder) {
  std::string command = std::string(VELLORAN_BIN_DIR) + "/velloran-report --json '" + folder + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
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
