#include "cli/path_walk.h"

#include <algorithm>

namespace {

// Paths are spelled as the file system library joins them: one slash
// between folder and name unless the folder ends in one. They are joined in
// one reused buffer rather than built as path objects per file.
void WalkSpelledFolder(const std::string& folder, const std::function<void(const std::string&)>& visit) {
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
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  const size_t prefix = path.size();
  for (const TEntry& entry : entries) {
    path.resize(prefix);
    path += entry.Name;
    if (entry.Folder) {
      WalkSpelledFolder(path, visit);
    } else {
      visit(path);
    }
  }
}

}  // namespace

void WalkFolder(const std::filesystem::path& folder, const std::function<void(const std::string&)>& visit) {
  WalkSpelledFolder(folder.string(), visit);
}

void WalkFolder(const std::filesystem::path& folder, std::vector<std::string>& out) {
  WalkFolder(folder, [&out](const std::string& file) { out.push_back(file); });
}
