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
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "audiofile/audio_file.h"
#include "cli/path_walk.h"
#include "cli/report_command.h"
#include "toolkit/program_info.h"

namespace {

using nlohmann::ordered_json;

void Usage() { std::fprintf(stderr, "usage: velloran-report --json [--id3v1] PATH...\n"); }

ordered_json TagsJson(const TTagFull& t) {
  return ordered_json{
      {"Album", t.Album},         {"Artist", t.Artist},
      {"Band", t.Band},           {"BPM", t.BPM},
      {"Comment", t.Comment},     {"Composer", t.Composer},
      {"Conductor", t.Conductor}, {"Copyright", t.Copyright},
      {"ContentGroup", t.ContentGroup}, {"PictureData", t.PictureData.size()},
      {"HasPicture", t.HasPicture}, {"HasLyrics", t.HasLyrics},
      {"HasTagV1", t.HasTagV1},   {"HasTagV2", t.HasTagV2},
      {"Genre", t.Genre},         {"Language", t.Language},
      {"Link", t.Link},           {"Lyricist", t.Lyricist},
      {"Lyrics", t.Lyrics},       {"OrigAlbum", t.OrigAlbum},
      {"OrigArtist", t.OrigArtist}, {"OrigLyricist", t.OrigLyricist},
      {"RecordDate", t.RecordDate}, {"Remixed", t.Remixed},
      {"Subtitle", t.Subtitle},   {"Title", t.Title},
      {"TrackNumber", t.TrackNumber}, {"TrackText", t.TrackText},
      {"TagVersion", t.TagVersion}, {"Year", t.Year},
  };
}

ordered_json StreamJson(const TMpegTotal& s) {
  return ordered_json{
      {"BitRate", s.BitRate},       {"ChannelMode", s.ChannelMode}, {"Encoder", s.Encoder},
      {"Valid", s.Valid},           {"FileSizeKB", s.FileSizeKB},   {"SampleRate", s.SampleRate},
      {"Duration", s.Duration},     {"DurationText", s.DurationText},
  };
}

void PrintJsonLine(TAudioFile& audio, const std::string& path) {
  audio.FileName = path;
  bool loaded = false;
  try {
    loaded = audio.LoadFile();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
  }
  ordered_json line{
      {"FileName", path},
      {"FileType", static_cast<int>(audio.FileType)},
      {"LoadFile", loaded},
      {"Tags", TagsJson(audio.Tags)},
      {"Stream", StreamJson(audio.Stream)},
  };
  // Tag bytes that are not valid UTF-8 are shown as U+FFFD rather than
  // stopping the run.
  std::cout << line.dump(-1, ' ', false, ordered_json::error_handler_t::replace) << '\n';
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

  TAudioFile audio;
  audio.SetPreferredTag(id3v1 ? 1 : 2);
  for (const std::string& path : paths) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      std::vector<std::string> files;
      WalkFolder(path, files);
      for (const auto& file : files) PrintJsonLine(audio, file);
    } else {
      PrintJsonLine(audio, path);
    }
  }
  return 0;
}
