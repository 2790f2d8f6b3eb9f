// velloran-report: the report engine without a window.
//
//   velloran-report --json [--id3v1] PATH...
//
// Loads every path through one audio file object and prints one JSON object
// per file and line: the file name, its type, the result of LoadFile and
// both records. A folder is walked recursively in name order. A file that
// cannot be read gives its line with LoadFile false; nothing stops the run.

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofile/audio_file.h"
#include "cli/json_lines.h"
#include "toolkit/program_info.h"

namespace {

void Usage() { std::fprintf(stderr, "usage: velloran-report --json [--id3v1] PATH...\n"); }

// Calls visit with every file below a folder, in name order, sub-folders
// walked where they stand in that order. Only the names of the folders on
// the way down are held, so memory does not grow with the number of files.
// Paths are spelled as the file system library joins them: one slash
// between folder and name unless the folder ends in one.
template <class TVisit>
void WalkFolder(const std::string& folder, const TVisit& visit) {
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
      WalkFolder(path, visit);
    } else {
      visit(path);
    }
  }
}

// Loads path and prints its line. The buffer is the caller's, so that one
// allocation serves every line.
void PrintJsonLine(TAudioFile& audio, const std::string& path, std::string& line) {
  audio.FileName = path;
  bool loaded = false;
  try {
    loaded = audio.LoadFile();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
  }
  line.clear();
  AppendJsonLine(line, path, audio, loaded);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  SetProgramArguments(argc, argv);

  bool json = false;
  bool id3v1 = false;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--json") {
      json = true;
    } else if (arg == "--id3v1") {
      id3v1 = true;
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      std::fprintf(stderr, "velloran-report: unknown option %s\n", arg.c_str());
      Usage();
      return 2;
    } else {
      paths.push_back(arg);
    }
  }
  if (!json || paths.empty()) {
    Usage();
    return 2;
  }

  // Lines go out in large writes rather than one per few kilobytes.
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);

  TAudioFile audio;
  audio.SetPreferredTag(id3v1 ? 1 : 2);
  // The lines give only the length of a picture.
  audio.ReadPictures = false;
  std::string line;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      WalkFolder(path, [&](const std::string& file) { PrintJsonLine(audio, file, line); });
    } else {
      PrintJsonLine(audio, path, line);
    }
  }
  return 0;
}
