#pragma once

// Turning the paths given on a command line into the files they stand for.

#include <filesystem>
#include <string>
#include <vector>

// Appends the files below folder to out, in name order, each sub-folder
// walked where it stands in that order. Links to folders are not followed.
void WalkFolder(const std::filesystem::path& folder, std::vector<std::string>& out);
