#include "report/engine/templates.h"

#include <algorithm>
#include <filesystem>

#include "report/engine/page_text.h"
#include "toolkit/file_io.h"

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// Names of the regular files in folder (links to regular files included).
std::vector<std::string> RegularFileNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
       it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace

std::vector<std::string> ListTemplateFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const std::string& name : RegularFileNames(folder)) {
    std::string lower = AsciiLower(name);
    if (lower.size() > 4 && lower.ends_with(".htm")) names.push_back(lower);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::string FindTemplateFile(const std::string& folder, const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsRegularFile(name) ? name : std::string();
  std::string exact = WithSlash(folder) + name;
  if (IsRegularFile(exact)) return exact;
  std::vector<std::string> names = RegularFileNames(folder);
  std::sort(names.begin(), names.end());
  std::string wanted = AsciiLower(name);
  for (const std::string& candidate : names)
    if (AsciiLower(candidate) == wanted) return WithSlash(folder) + candidate;
  return {};
}
