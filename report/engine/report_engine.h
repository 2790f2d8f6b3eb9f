#pragma once

// TReportEngine: turns one HTML template and a list of audio files into one
// HTML page.
//
// The template is read line by line. Lines outside repeat blocks are written
// once; the lines between "<!-- {repeat_begin} -->" and
// "<!-- {repeat_end} -->" are written once per audio file. Placeholders such
// as {artist}, {counter} or {total_time} are replaced on the way (see
// ReplaceTags), and a footer naming the product goes before each "</body>"
// outside blocks. The page is written in one piece at the end: to
// FTempFolder + "album_preview.htm" for a preview, or to the output file for
// an export, with the first file's cover picture beside it.
//
// How a front end drives it (the report dialog, the command-line tool):
//
//   TReportEngine engine;
//   engine.FAudioFile.FileList = paths;                 // the report's files, in order
//   engine.FTemplateName = "album.htm";                 // empty: no template found
//   engine.FTitle = engine.ProposeReportName();         // or what the user typed
//   engine.FCharsetLine = CharsetMetaLine("iso-8859-1");
//   engine.FImageName = ...;                            // optional, see below
//   engine.FOutputFileName = "/home/me/2003 Album.htm"; // export only
//   engine.OnStepProgress = ...;                        // all callbacks optional
//   if (engine.BuildReport(TReportMode::Export) == TReportResult::Done)
//     use(engine.FWrittenPath);
//
// Errors ("Cannot open file ...", "Cannot create file ...", "Unable to create
// directory", the missing-templates message) go to the user through
// NotifyUser, and BuildReport gives Failed or NoTemplates; nothing is then
// written. The engine throws nothing out of BuildReport.
//
// Text. Everything inside is UTF-8. Tag values are HTML-escaped when they
// are inserted, so a title holding "<" or "&" shows as written and a tag
// cannot add markup to the page; what the user typed (title, charset line)
// goes in as it stands. The finished page is encoded in the charset the
// charset line declares ("charset=NAME"); a character that charset cannot
// hold is written as a numeric character reference "&#NNNN;". A line naming
// no charset this system can convert to gives a UTF-8 page. Templates are
// read as UTF-8 when their bytes are valid UTF-8, else as Windows-1252.
//
// Threads. Everything runs on the caller's thread. After every template line
// and every row the engine calls OnProcessEvents so a window stays
// responsive; while that runs, the user may press buttons again or close the
// window. BuildReport refuses to start while IsBusy(); Cancel() makes a
// running generation stop at its next step without writing anything. A
// window must not destroy the engine from inside those callbacks: cancel,
// and destroy it once BuildReport has returned.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/audio_file.h"

enum class TReportMode { Preview, Export };

enum class TReportResult {
  Done,         // the page (and picture) were written; FWrittenPath names the page
  Ignored,      // a generation was already running; nothing happened
  NoTemplates,  // FTemplateName was empty: the user was told where templates come from
  Failed,       // the user was told why (template unreadable, target not writable)
  Cancelled,    // Cancel() stopped it; nothing was written
};

// The charset line a charset name stands for:
// <meta http-equiv="Content-Type" content="text/html; charset=NAME">
std::string CharsetMetaLine(const std::string& charset_name);

class TReportEngine {
 public:
  TReportEngine();
  TReportEngine(const TReportEngine&) = delete;
  TReportEngine& operator=(const TReportEngine&) = delete;

  // ---- What the front end supplies -------------------------------------

  // The engine's own audio file object; FileList holds the report's files
  // (full paths) in report order.
  TAudioFile FAudioFile;
  // The template: a name looked up in FTemplatesFolder without regard to
  // letter case, or a path (anything holding "/"). Empty means the template
  // list is empty.
  std::string FTemplateName;
  // Replaces {page_title}.
  std::string FTitle;
  // Replaces "<!-- {charset} -->" and names the charset the page is written in.
  std::string FCharsetLine;
  // Export target; its extension becomes ".htm" whatever it was.
  std::string FOutputFileName;
  // Name (no folder) of the cover picture written beside the report;
  // "image.jpg" when empty at the start of a generation.
  std::string FImageName;

  // Callbacks; each may be left empty (the command-line tool sets none).
  // The progress gauge moved to a new position, 0 to 100.
  std::function<void(int position)> OnStepProgress;
  // The gauge went back to 0 and is to be shown (true) or hidden (false).
  std::function<void(bool visible)> OnResetProgress;
  // Let pending user-interface events run.
  std::function<void()> OnProcessEvents;
  // A preview page was written at path; show it.
  std::function<void(const std::string& path)> OnShowPreview;

  // ---- Folders and fixed texts (set by the constructor) ----------------

  std::string FTemplatesFolder;  // ProgramFolder() + "Templates/"
  std::string FTempFolder;       // WritableFolder() + "temp/"
  std::string FHomePage;         // kHomePage
  std::string FProductName;      // kProductName

  // ---- State of the current generation (read-only for front ends) ------

  bool FImageUsed = false;        // a line held "{image}" or "{image_name}"
  int32_t FCounter = 1;           // the running {counter}
  int32_t FTotalFiles = 0;        // files in FileList
  uint32_t FTotalSize = 0;        // sum of FileSizeKB
  uint32_t FTotalTime = 0;        // sum of Duration, seconds
  bool FTotalsReady = false;      // the sums are computed once per engine
  std::string FCurrentFileName;   // the current file's name without folder
  std::string FWrittenPath;       // the page the last finished generation wrote

  // ---- Operations -------------------------------------------------------

  // Runs one generation.
  TReportResult BuildReport(TReportMode mode);
  // The line with all placeholders replaced, per-file ones from tags and
  // stream. Advances FCounter when the line holds "{counter}" and sets
  // FImageUsed when it holds "{image}" or "{image_name}".
  std::string ReplaceTags(const std::string& line, const TTagFull& tags, const TMpegTotal& stream);
  // Fills FTotalSize and FTotalTime from every file of the list and sets
  // FTotalsReady.
  void ComputeTotals();
  // When the first file has an embedded picture, writes it to FTempFolder +
  // FImageName and gives true (also when the picture could not be written).
  bool CopyCoverImage();

  // Reads every file of FileList (as a generation does) and drops those
  // whose stream values cannot be read, for front ends that take paths as
  // the user names them; gives how many are left. A generation that follows
  // with the same FileList uses the values read here instead of reading the
  // files again.
  size_t KeepReadableFiles();

  // "Year Album" of the first file when it has the preferred tag (possibly
  // empty), else "Untitled": the name proposed for the report and its picture.
  std::string ProposeReportName();

  bool IsBusy() const { return FBusy; }
  // Asks a running generation to stop; it then gives Cancelled.
  void Cancel() { FCancelRequested = true; }

  // The progress gauge, 0 to 100: lets events run, then advances by one and
  // stays at 100 once there.
  void StepProgress();
  void ResetProgress(bool visible);

 private:
  // One file's values as a load with fallback left them.
  struct TLoadedFile {
    TTagFull Tags;  // without PictureData
    TMpegTotal Stream;
  };
  struct TGenerationAbort {};

  TReportResult Generate(TReportMode mode);
  void WalkTemplate(const std::vector<std::string>& lines, std::vector<std::string>& output);
  void WriteRepeatBlock(const std::vector<std::string>& block, std::vector<std::string>& output);
  TReportResult WritePreview(const std::string& page);
  TReportResult WriteExport(const std::string& page);
  std::string FooterLine() const;
  // Loads FileName with the ID3v2 preference, falling back to ID3v1 when
  // the file lacks the preferred tag.
  void LoadWithFallback(const std::string& path);
  // The values of file i, read once per generation (or once since
  // KeepReadableFiles).
  const TLoadedFile& FileValues(size_t index);
  void ClearLoaded();
  void SetCurrentFile(size_t index);
  void ProcessEvents();

  std::vector<std::optional<TLoadedFile>> FLoaded;
  std::vector<std::string> FLoadedList;  // the FileList that FLoaded belongs to
  size_t FCurrentIndex = 0;
  int FProgress = 0;
  bool FBusy = false;
  bool FCancelRequested = false;
};
