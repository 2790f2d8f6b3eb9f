// Runs the command-line report on fixtures and gives its --json lines.
#pragma once

#include <map>
#include <string>

#include <nlohmann/json.hpp>

namespace test {

// Runs a shell command and gives what it wrote to standard output; status
// gets its exit status as pclose gives it (-1 when it could not start).
std::string CommandOutput(const std::string& command, int* status = nullptr);

// velloran-report --json with options on path (a file or a folder): each
// line by the file name without its folder. A non-zero exit fails the test.
std::map<std::string, nlohmann::json> ReportLinesByName(const std::string& options, const std::string& path);

}  // namespace test
