// velloran-report: the report engine without a window.
//
//   velloran-report [--template NAME|PATH] [--title TEXT] ... PATH...
//   velloran-report --json [--id3v1] PATH...
//
// Without --json it writes an HTML report (cli/report_command.cpp).
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
#include "cli/path_walk.h"
#include "cli/report_command.h"
#include "toolkit/program_info.h"

namespace {

void Usage() { std::fprintf(stderr, "usage: velloran-report --json [--id3v1] PATH...\n"); }

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
  // Without --json the tool writes an HTML report.
  if (std::find(ProgramArguments().begin(), ProgramArguments().end(), "--json") == ProgramArguments().end())
    return RunReportCommand(ProgramArguments());

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
