#include "cli/cli_report.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace test {

std::string CommandOutput(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    if (status != nullptr) *status = -1;
    return out;
  }
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  int result = ::pclose(pipe);
  if (status != nullptr) *status = result;
  return out;
}

std::map<std::string, nlohmann::json> ReportLinesByName(const std::string& options, const std::string& path) {
  std::string command = std::string(VELLORAN_BIN_DIR "/velloran-report --json ") + options + " '" + path + "'";
  std::map<std::string, nlohmann::json> lines;
  int status = 0;
  std::string out = CommandOutput(command, &status);
  EXPECT_EQ(status, 0);
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    nlohmann::json line = nlohmann::json::parse(out.substr(start, end - start));
    std::string name = line["FileName"].get<std::string>();
    lines[name.substr(name.rfind('/') + 1)] = line;
    start = end + 1;
  }
  return lines;
}

}  // namespace test
