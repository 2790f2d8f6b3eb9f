#include "cli/report_command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <set>

#include "cli/path_walk.h"
#include "report/engine/report_engine.h"
#include "report/engine/templates.h"
#include "toolkit/program_info.h"

namespace {

constexpr char kHelp[] = R"(usage: velloran-report [OPTION]... PATH...
       velloran-report --json [--id3v1] PATH...

Writes an HTML report of the music files given as PATH: files, or folders
that are walked recursively in name order. Files whose stream cannot be read
are left out; a file named twice is reported once. The written page's path
is printed.

  --template NAME|PATH  the template: a name from the Templates folder beside
                        the program (any letter case), or the path of an
                        .htm file. Default: the first template listed there.
  --title TEXT          the page title ({page_title}). Default: the year and
                        album of the first file, or "Untitled".
  --charset NAME        the charset the page declares and is written in,
                        e.g. utf-8 or windows-1251. Default: iso-8859-1;
                        characters it lacks become &#NNNN; references.
  --charset-line LINE   the whole line that replaces <!-- {charset} -->, as
                        it stands; the page is written in the charset it names.
  -o, --output FILE     the report file; its extension becomes .htm, missing
                        folders are made, and the cover picture goes beside
                        it when the template shows one. Default: "YEAR
                        ALBUM.htm" of the first file, or "Untitled.htm", in
                        the current folder.
  --preview             write the preview page into the program's temp folder
                        instead of a report file.
  --json                print one JSON line of tag and stream values per file
                        instead of a report (--id3v1: show the ID3v1 tag of
                        MP3, AAC and FLAC files instead of ID3v2).
  -h, --help            show this help.

Examples:
  velloran-report ~/Music/Album
  velloran-report --template catalogue.htm --title "All my music" -o ~/catalogue.htm ~/Music
  velloran-report --charset utf-8 --preview song1.mp3 song2.ogg
)";

struct TReportOptions {
  std::optional<std::string> template_name;
  std::optional<std::string> title;
  std::optional<std::string> charset_line;
  std::optional<std::string> output;
  bool preview = false;
  bool help = false;
  std::vector<std::string> paths;
};

void Complain(const std::string& message) { std::fprintf(stderr, "velloran-report: %s\n", message.c_str()); }

// Reads the options; gives false (having said why) on wrong use.
bool ParseOptions(const std::vector<std::string>& arguments, TReportOptions& options) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    auto value = [&](std::optional<std::string>& into) {
      if (i + 1 >= arguments.size()) {
        Complain("option " + arg + " needs a value (see --help)");
        return false;
      }
      if (into.has_value()) {
        Complain("option " + arg + " given twice, or together with the option it replaces");
        return false;
      }
      into = arguments[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--template") {
      ok = value(options.template_name);
    } else if (arg == "--title") {
      ok = value(options.title);
    } else if (arg == "--charset") {
      ok = value(options.charset_line);
      if (ok) options.charset_line = CharsetMetaLine(*options.charset_line);
    } else if (arg == "--charset-line") {
      ok = value(options.charset_line);
    } else if (arg == "-o" || arg == "--output") {
      ok = value(options.output);
    } else if (arg == "--preview") {
      options.preview = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--") {
      options.paths.insert(options.paths.end(), arguments.begin() + static_cast<long>(i) + 1, arguments.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      Complain("unknown option " + arg + " (see --help)");
      return false;
    } else {
      options.paths.push_back(arg);
    }
    if (!ok) return false;
  }
  if (options.help) return true;
  if (options.preview && options.output.has_value()) {
    Complain("-o and --preview exclude each other");
    return false;
  }
  if (options.paths.empty()) {
    Complain("no music file or folder given (see --help)");
    return false;
  }
  return true;
}

// The files the paths stand for, each once, in the order given, as full
// paths.
std::vector<std::string> NamedFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> candidates;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      WalkFolder(path, candidates);
    } else {
      candidates.push_back(path);
    }
  }
  std::vector<std::string> files;
  std::set<std::string> seen;
  for (const std::string& candidate : candidates) {
    std::error_code ec;
    std::string full = std::filesystem::absolute(candidate, ec).lexically_normal().string();
    if (!ec && seen.insert(full).second) files.push_back(std::move(full));
  }
  return files;
}

// The template to use: the one asked for, else the first one listed.
// Templates are looked for beside the program, then among the user's own.
std::string ChooseTemplate(const std::optional<std::string>& asked, const std::string& shipped_folder) {
  const std::string own_folder = WritableFolder() + "Templates/";
  if (!asked.has_value()) {
    for (const std::string& folder : {shipped_folder, own_folder}) {
      std::vector<std::string> names = ListTemplateFiles(folder);
      if (!names.empty()) return FindTemplateFile(folder, names.front());
    }
    return {};
  }
  std::string found = FindTemplateFile(shipped_folder, *asked);
  if (found.empty() && own_folder != shipped_folder) found = FindTemplateFile(own_folder, *asked);
  return found;
}

}  // namespace

int RunReportCommand(const std::vector<std::string>& arguments) {
  TReportOptions options;
  if (!ParseOptions(arguments, options)) return 2;
  if (options.help) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  SetMessageNotifier(Complain);

  TReportEngine engine;
  engine.FTemplateName = ChooseTemplate(options.template_name, engine.FTemplatesFolder);
  if (options.template_name.has_value() && engine.FTemplateName.empty()) {
    Complain("no template " + *options.template_name + " (looked in " + engine.FTemplatesFolder + ")");
    return 1;
  }
  // Like the tracklist, the report takes only files whose stream values
  // can be read.
  engine.FAudioFile.FileList = NamedFiles(options.paths);
  if (engine.KeepReadableFiles() == 0) {
    Complain("none of the given paths is a music file whose stream can be read");
    return 1;
  }

  std::string name = engine.ProposeReportName();
  engine.FTitle = options.title.value_or(name);
  // A report file needs a name: an empty year and album give "Untitled",
  // and a "/" in the album must not turn into a folder.
  if (name.empty()) name = "Untitled";
  name = engine.FAudioFile.FileTools().CleanFileName(name);
  engine.FImageName = name + ".jpg";
  engine.FCharsetLine = options.charset_line.value_or(CharsetMetaLine("iso-8859-1"));
  std::error_code ec;
  engine.FOutputFileName =
      std::filesystem::absolute(options.output.value_or(name + ".htm"), ec).lexically_normal().string();

  TReportResult result = engine.BuildReport(options.preview ? TReportMode::Preview : TReportMode::Export);
  if (result != TReportResult::Done) return 1;
  std::printf("%s\n", engine.FWrittenPath.c_str());
  return 0;
}
