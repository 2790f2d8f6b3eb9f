#include "report/engine/report_engine.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>

#include "report/engine/page_text.h"
#include "report/engine/templates.h"
#include "toolkit/file_io.h"
#include "toolkit/product.h"
#include "toolkit/program_info.h"
#include "toolkit/text_codec.h"

namespace {

constexpr std::string_view kRepeatBegin = "<!-- {repeat_begin} -->";
constexpr std::string_view kRepeatEnd = "<!-- {repeat_end} -->";
constexpr char kPreviewName[] = "album_preview.htm";
constexpr char kDefaultImageName[] = "image.jpg";

// A line under replacement, with its lower-case twin for finding
// placeholders in any letter case. Lower-casing ASCII keeps every byte in
// place, so positions found in the twin hold in the line.
class TLine {
 public:
  explicit TLine(std::string text) : text_(std::move(text)), lower_(AsciiLower(text_)) {}
  const std::string& Text() const { return text_; }
  // Whether key (lower case) occurs exactly as written.
  bool HasExactly(std::string_view key) const { return text_.find(key) != std::string::npos; }
  // Replaces every occurrence of key (lower case) in any letter case.
  void Replace(std::string_view key, std::string_view value) {
    size_t pos = lower_.find(key);
    if (pos == std::string::npos) return;
    std::string out;
    size_t from = 0;
    for (; pos != std::string::npos; pos = lower_.find(key, from)) {
      out.append(text_, from, pos - from);
      out.append(value);
      from = pos + key.size();
    }
    out.append(text_, from);
    text_ = std::move(out);
    lower_ = AsciiLower(text_);
  }

 private:
  std::string text_;
  std::string lower_;
};

// Comment and lyrics keep their line feeds; a CR becomes a line break.
std::string BreakLines(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "<br>";
    } else {
      out += c;
    }
  }
  return out;
}

std::string NameWithoutFolder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with the extension of its name part (not of a folder) replaced
// by ".htm", or ".htm" appended when the name has none.
std::string WithHtmExtension(const std::string& path) {
  size_t name_start = path.rfind('/');
  name_start = name_start == std::string::npos ? 0 : name_start + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < name_start) return path + ".htm";
  return path.substr(0, dot) + ".htm";
}

// Today's date in the user's short date format.
std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[64];
  size_t n = std::strftime(buffer, sizeof buffer, "%x", &local);
  return std::string(buffer, n);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  TFile file(path);
  if (!file.IsOpen()) return false;
  return file.ReadExact(0, static_cast<size_t>(file.Size()), bytes);
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  std::string bytes;
  return ReadWholeFile(from, bytes) && WriteFileReplacing(to, bytes);
}

}  // namespace

std::string CharsetMetaLine(const std::string& charset_name) {
  return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset_name + "\">";
}

TReportEngine::TReportEngine()
    : FTemplatesFolder(ProgramFolder() + "Templates/"),
      FTempFolder(WritableFolder() + "temp/"),
      FHomePage(kHomePage),
      FProductName(kProductName) {
  FAudioFile.SetPreferredTag(2);
  // Rows show no picture; the one cover the report uses is read when
  // CopyCoverImage asks for it.
  FAudioFile.ReadPictures = false;
}

TReportResult TReportEngine::BuildReport(TReportMode mode) {
  if (FBusy) return TReportResult::Ignored;
  FBusy = true;
  FCancelRequested = false;
  TReportResult result = TReportResult::Failed;
  try {
    result = Generate(mode);
  } catch (const TGenerationAbort&) {
    result = TReportResult::Cancelled;
  } catch (const std::exception& e) {
    NotifyUser(e.what());
  }
  ClearLoaded();
  ResetProgress(false);
  FBusy = false;
  return result;
}

TReportResult TReportEngine::Generate(TReportMode mode) {
  FWrittenPath.clear();
  if (FTemplateName.empty()) {
    NotifyUser("HTML Templates not found! You may download Templates from our web site: " + FHomePage);
    return TReportResult::NoTemplates;
  }
  // The template first, so that a missing one is told before any music
  // file is read.
  std::string template_path = FindTemplateFile(FTemplatesFolder, FTemplateName);
  std::string template_bytes;
  if (template_path.empty() || !ReadWholeFile(template_path, template_bytes)) {
    NotifyUser("Cannot open file " + (template_path.empty() ? FTemplatesFolder + FTemplateName : template_path));
    return TReportResult::Failed;
  }
  std::vector<std::string> lines = SplitTemplateLines(template_bytes);
  template_bytes.clear();

  FImageUsed = false;
  if (FImageName.empty()) FImageName = kDefaultImageName;
  FCounter = 1;
  // Values read for another list are of no use.
  if (FLoadedList != FAudioFile.FileList) ClearLoaded();
  if (!FTotalsReady) ComputeTotals();
  FTotalFiles = static_cast<int32_t>(std::min<size_t>(FAudioFile.FileList.size(), INT32_MAX));
  SetCurrentFile(0);

  ResetProgress(true);
  std::vector<std::string> output;
  WalkTemplate(lines, output);

  std::string page;
  for (const std::string& line : output) {
    page += line;
    page += "\r\n";
  }
  output.clear();
  page = EncodePage(page, DeclaredCharset(FCharsetLine));
  return mode == TReportMode::Preview ? WritePreview(page) : WriteExport(page);
}

void TReportEngine::WalkTemplate(const std::vector<std::string>& lines, std::vector<std::string>& output) {
  size_t i = 0;
  while (i < lines.size()) {
    std::string line = TrimControls(lines[i]);
    StepProgress();
    if (line != kRepeatBegin) {
      const TLoadedFile& current = FileValues(FCurrentIndex);
      std::string replaced = ReplaceTags(line, current.Tags, current.Stream);
      if (replaced == "</body>") output.push_back(FooterLine());
      output.push_back(std::move(replaced));
      ++i;
    } else {
      // The block runs from the begin marker to the end marker, or to the
      // end of the template when the end marker is missing.
      FCounter = 1;
      std::vector<std::string> block;
      do {
        block.push_back(TrimControls(lines[i]));
        ++i;
      } while (block.back() != kRepeatEnd && i < lines.size());
      WriteRepeatBlock(block, output);
    }
    ProcessEvents();
  }
}

void TReportEngine::WriteRepeatBlock(const std::vector<std::string>& block, std::vector<std::string>& output) {
  for (size_t file = 0; file < FAudioFile.FileList.size(); ++file) {
    SetCurrentFile(file);
    const TLoadedFile& values = FileValues(file);
    for (const std::string& line : block)
      if (line != kRepeatBegin && line != kRepeatEnd) output.push_back(ReplaceTags(line, values.Tags, values.Stream));
    StepProgress();
  }
}

std::string TReportEngine::ReplaceTags(const std::string& line, const TTagFull& tags, const TMpegTotal& stream) {
  if (line.find('{') == std::string::npos) return line;
  const TStrTools& tools = FAudioFile.StrTools();
  TLine out(line);
  out.Replace("<!-- {charset} -->", FCharsetLine);
  out.Replace("{page_title}", FTitle);
  out.Replace("{artist}", HtmlEscape(tags.Artist));
  out.Replace("{album}", HtmlEscape(tags.Album));
  out.Replace("{year}", HtmlEscape(tags.Year));
  out.Replace("{genre}", HtmlEscape(tags.Genre));
  out.Replace("{track}", HtmlEscape(tags.TrackText));
  out.Replace("{title}", HtmlEscape(tags.Title));
  out.Replace("{time}", HtmlEscape(stream.DurationText));
  out.Replace("{size}", std::to_string(stream.FileSizeKB));
  out.Replace("{bitrate}", std::to_string(stream.BitRate));
  out.Replace("{sample_rate}", std::to_string(stream.SampleRate));
  out.Replace("{file_name}", HtmlEscape(FCurrentFileName));
  out.Replace("{total}", std::to_string(FTotalFiles));
  out.Replace("{link}", HtmlEscape(tags.Link));
  out.Replace("{total_size}", tools.FormatThousands(static_cast<int32_t>(std::min<uint32_t>(FTotalSize, INT32_MAX)), " "));
  out.Replace("{total_time}", tools.FormatDuration(FTotalTime, ":"));
  // The last five run only where the placeholder is written in lower case
  // at least once; elsewhere another spelling stays as it is.
  if (out.HasExactly("{counter}")) {
    out.Replace("{counter}", std::to_string(FCounter));
    ++FCounter;
  }
  if (out.HasExactly("{image}")) {
    FImageUsed = true;
    out.Replace("{image}", "<img src=\"" + HtmlEscape(FImageName) + "\">");
  }
  if (out.HasExactly("{image_name}")) {
    FImageUsed = true;
    out.Replace("{image_name}", HtmlEscape(FImageName));
  }
  if (out.HasExactly("{comment}")) out.Replace("{comment}", BreakLines(HtmlEscape(tags.Comment)));
  if (out.HasExactly("{lyrics}")) out.Replace("{lyrics}", BreakLines(HtmlEscape(tags.Lyrics)));
  return out.Text();
}

std::string TReportEngine::FooterLine() const {
  return "<p align=\"center\">Generated by <a href=\"" + FHomePage + "\" class=\"link_001\">" + FProductName +
         "</a> / Date: " + TodayText() + "</p>";
}

void TReportEngine::ComputeTotals() {
  if (FLoadedList != FAudioFile.FileList) ClearLoaded();
  FTotalSize = 0;
  FTotalTime = 0;
  // The stream values do not depend on the tag preference, so the loads
  // with fallback that the rows use serve the sums too.
  for (size_t i = 0; i < FAudioFile.FileList.size(); ++i) {
    const TLoadedFile& values = FileValues(i);
    FTotalSize += static_cast<uint32_t>(std::max(values.Stream.FileSizeKB, 0));
    FTotalTime += values.Stream.Duration;
  }
  FTotalsReady = true;
  if (!FBusy) ClearLoaded();
}

size_t TReportEngine::KeepReadableFiles() {
  std::vector<std::string>& list = FAudioFile.FileList;
  if (FLoadedList != list) ClearLoaded();
  std::vector<std::string> readable;
  std::vector<std::optional<TLoadedFile>> loaded;
  for (size_t i = 0; i < list.size(); ++i) {
    if (!FileValues(i).Stream.Valid) continue;
    readable.push_back(std::move(list[i]));
    loaded.push_back(std::move(FLoaded[i]));
  }
  list = std::move(readable);
  FLoaded = std::move(loaded);
  FLoadedList = list;
  return list.size();
}

void TReportEngine::ClearLoaded() {
  FLoaded.clear();
  FLoadedList.clear();
}

void TReportEngine::LoadWithFallback(const std::string& path) {
  FAudioFile.FileName = path;
  // A reader that gives up with an error leaves what it had read; the row
  // is written with that, as with any file that cannot be read.
  try {
    FAudioFile.SetPreferredTag(2);
    FAudioFile.LoadFile();
    if (FAudioFile.HasPreferredTag()) return;
    FAudioFile.SetPreferredTag(1);
    FAudioFile.LoadFile();
  } catch (const std::exception&) {
  }
}

const TReportEngine::TLoadedFile& TReportEngine::FileValues(size_t index) {
  static const TLoadedFile kNoFile;
  const std::vector<std::string>& list = FAudioFile.FileList;
  if (index >= list.size()) return kNoFile;
  if (FLoaded.size() != list.size()) {
    FLoaded.assign(list.size(), std::nullopt);
    FLoadedList = list;
  }
  if (!FLoaded[index].has_value()) {
    LoadWithFallback(list[index]);
    TLoadedFile& values = FLoaded[index].emplace();
    values.Tags = std::move(FAudioFile.Tags);
    values.Tags.PictureData.clear();
    values.Stream = std::move(FAudioFile.Stream);
    FAudioFile.ResetValues();
  }
  return *FLoaded[index];
}

void TReportEngine::SetCurrentFile(size_t index) {
  FCurrentIndex = index;
  const std::vector<std::string>& list = FAudioFile.FileList;
  FCurrentFileName = index < list.size() ? NameWithoutFolder(list[index]) : std::string();
  FileValues(index);
}

bool TReportEngine::CopyCoverImage() {
  if (FAudioFile.FileList.empty()) return false;
  LoadWithFallback(FAudioFile.FileList.front());
  if (!FAudioFile.Tags.HasPicture) return false;
  // The picture goes out under FImageName whatever its format; a picture
  // that cannot be written is left out and the report written all the same.
  try {
    std::string extracted = FAudioFile.ExtractPicture();
    if (!extracted.empty()) {
      std::error_code ec;
      std::filesystem::create_directories(FTempFolder, ec);
      CopyFileReplacing(extracted, FTempFolder + FImageName);
    }
  } catch (const std::exception&) {
  }
  return true;
}

TReportResult TReportEngine::WritePreview(const std::string& page) {
  std::error_code ec;
  std::filesystem::create_directories(FTempFolder, ec);
  CopyCoverImage();
  std::string path = FTempFolder + kPreviewName;
  if (!WriteFileReplacing(path, page)) {
    NotifyUser("Cannot create file " + path);
    return TReportResult::Failed;
  }
  FWrittenPath = path;
  if (OnShowPreview) OnShowPreview(path);
  return TReportResult::Done;
}

TReportResult TReportEngine::WriteExport(const std::string& page) {
  std::string target = WithHtmExtension(FOutputFileName);
  size_t slash = target.rfind('/');
  if (FOutputFileName.empty() || slash == std::string::npos) {
    NotifyUser("Unable to create directory");
    return TReportResult::Failed;
  }
  std::string folder = target.substr(0, slash + 1);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    NotifyUser("Unable to create directory");
    return TReportResult::Failed;
  }
  // The page first: when it cannot be written, no picture is left behind
  // for a report that does not exist.
  if (!WriteFileReplacing(target, page)) {
    NotifyUser("Cannot create file " + target);
    return TReportResult::Failed;
  }
  if (FImageUsed && CopyCoverImage())
    CopyFileReplacing(TrimControls(FTempFolder + FImageName), TrimControls(folder + FImageName));
  FWrittenPath = target;
  return TReportResult::Done;
}

std::string TReportEngine::ProposeReportName() {
  if (FAudioFile.FileList.empty()) return "Untitled";
  LoadWithFallback(FAudioFile.FileList.front());
  if (!FAudioFile.HasPreferredTag()) return "Untitled";
  return TrimControls(FAudioFile.Tags.Year + " " + FAudioFile.Tags.Album);
}

void TReportEngine::ProcessEvents() {
  if (OnProcessEvents) OnProcessEvents();
  if (FCancelRequested && FBusy) throw TGenerationAbort{};
}

void TReportEngine::StepProgress() {
  ProcessEvents();
  if (FProgress < 100) ++FProgress;
  if (OnStepProgress) OnStepProgress(FProgress);
}

void TReportEngine::ResetProgress(bool visible) {
  FProgress = 0;
  if (OnResetProgress) OnResetProgress(visible);
}
