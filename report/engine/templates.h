#pragma once

// The HTML templates a report can be built from: the "*.htm" files of a
// templates folder.

#include <string>
#include <vector>

// The names (no folder) of the files in folder whose names end in ".htm"
// in any letter case, hidden ones included, folders excluded; each turned
// to lower case and the list sorted. A missing folder gives an empty list.
std::vector<std::string> ListTemplateFiles(const std::string& folder);

// The full path of the template called name in folder, matched without
// regard to letter case (an exact match wins); name may also be a path (it
// holds a "/") and is then taken as it stands. Empty when there is no such
// regular file.
std::string FindTemplateFile(const std::string& folder, const std::string& name);
