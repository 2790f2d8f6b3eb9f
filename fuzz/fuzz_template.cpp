// The report engine over a fuzzed template: a preview of two committed
// music files, written into a private folder. With a readable template and
// a writable folder a generation must finish, and nothing may be told to
// the user.
#include <array>
#include <cstdio>

#include "fuzz/fuzz_input.h"
#include "report/engine/report_engine.h"
#include "toolkit/program_info.h"

namespace {

// The page's charset comes from the input's size, so that the whole input
// is the template and the shipped templates seed the corpus as they are.
const std::array<const char*, 4> kCharsets = {"utf-8", "iso-8859-1", "windows-1251", "shift_jis"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemoryInput input;
  static TFolderInput preview("album_preview.htm");  // where the engine writes the page
  static bool ready = [] {
    SetMessageNotifier([](const std::string& message) {
      std::fprintf(stderr, "told the user: %s\n", message.c_str());
      FuzzFinding("a generation told the user of an error");
    });
    return true;
  }();
  (void)ready;
  input.Set(data, size);

  TReportEngine engine;
  engine.FAudioFile.FileList = {VELLORAN_FIXTURES "/foundation/v1v2.mp3", VELLORAN_FIXTURES "/ogg/utf8_title.ogg"};
  engine.FTemplateName = input.Path();
  engine.FTitle = "Fuzzed <title>";
  engine.FCharsetLine = CharsetMetaLine(kCharsets[size % kCharsets.size()]);
  engine.FTempFolder = preview.Folder() + "/";
  if (engine.BuildReport(TReportMode::Preview) != TReportResult::Done || engine.FWrittenPath != preview.Path())
    FuzzFinding("the preview was not written");
  CheckFilesClosed();
  return 0;
}
