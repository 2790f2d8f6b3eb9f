#pragma once

// The report command of velloran-report: an HTML report of music files from
// a template, written without a window.

#include <string>
#include <vector>

// Runs the command over the arguments after the program name; gives the
// process exit code (0 written, 1 failed, 2 wrong use).
int RunReportCommand(const std::vector<std::string>& arguments);
