#include "cli/path_walk.h"

#include <algorithm>

void WalkFolder(const std::filesystem::path& folder, const std::function<void(const std::string&)>& visit) {
  struct TEntry {
    std::string Name;
    bool Folder;
  };
  std::vector<TEntry> entries;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
       it.increment(ec)) {
    std::error_code type_ec;
    bool folder_entry = it->is_directory(type_ec) && !it->is_symlink(type_ec);
    entries.push_back({it->path().filename().string(), folder_entry});
  }
  std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) { return a.Name < b.Name; });
  for (const TEntry& entry : entries) {
    if (entry.Folder) {
      WalkFolder(folder / entry.Name, visit);
    } else {
      visit((folder / entry.Name).string());
    }
  }
}

void WalkFolder(const std::filesystem::path& folder, std::vector<std::string>& out) {
  WalkFolder(folder, [&out](const std::string& file) { out.push_back(file); });
}
