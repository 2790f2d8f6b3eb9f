#pragma once

// Turning the paths given on a command line into the files they stand for.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Calls visit with every file below folder, in name order, each sub-folder
// walked where it stands in that order. Links to folders are not followed.
// Only the names of the folders on the way down are held, so memory does
// not grow with the number of files.
void WalkFolder(const std::filesystem::path& folder, const std::function<void(const std::string&)>& visit);

// The same walk, appending every file to out.
void WalkFolder(const std::filesystem::path& folder, std::vector<std::string>& out);
