#include "cli/path_walk.h"

#include <algorithm>

void WalkFolder(const std::filesystem::path& folder, std::vector<std::string>& out) {
  std::error_code ec;
  std::vector<std::filesystem::directory_entry> entries;
  for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
       it.increment(ec))
    entries.push_back(*it);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename().string() < b.path().filename().string(); });
  for (const auto& entry : entries) {
    std::error_code type_ec;
    if (entry.is_directory(type_ec) && !entry.is_symlink(type_ec)) {
      WalkFolder(entry.path(), out);
    } else {
      out.push_back(entry.path().string());
    }
  }
}
