#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "report/report_test_support.h"
#include "toolkit/product.h"
#include "toolkit/program_info.h"

namespace {

using Frames = std::vector<std::pair<std::string, std::string>>;

// Three tagged tracks of one made-up album, and an engine over them.
class ReportEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PointEngineAt(engine, dir);
    tracks = {
        test::TaggedTrack(dir, "01.mp3", {{"TIT2", "Dawn"}, {"TPE1", "Ana"}, {"TALB", "First Light"},
                                          {"TRCK", "1/3"}, {"TDRC", "2003"}, {"TCON", "Ambient"}}),
        test::TaggedTrack(dir, "02.mp3", {{"TIT2", "Noon"}, {"TPE1", "Ana"}, {"TALB", "Second Light"},
                                          {"TRCK", "2/3"}, {"COMM", "one\r\ntwo"}}),
        test::TaggedTrack(dir, "03.mp3", {{"TIT2", "Dusk"}, {"TPE1", "Ben"}, {"TALB", "Last Light"},
                                          {"TRCK", "3/3"}, {"WXXX", std::string(1, '\0') + "http://x.example/"}}),
    };
    engine.FAudioFile.FileList = tracks;
    SetMessageNotifier([this](const std::string& message) { messages.push_back(message); });
  }
  void TearDown() override { SetMessageNotifier(nullptr); }

  // Writes the template, previews it and gives the page's lines.
  std::vector<std::string> Preview(const std::string& template_text) {
    dir.Write("Templates/t.htm", template_text);
    engine.FTemplateName = "t.htm";
    EXPECT_EQ(engine.BuildReport(TReportMode::Preview), TReportResult::Done) << template_text;
    return test::PageLines(test::ReadAll(dir.File("temp/album_preview.htm")));
  }

  test::TempDir dir;
  TReportEngine engine;
  std::vector<std::string> tracks;
  std::vector<std::string> messages;
};

const std::string kFooter = "@footer";

struct TemplateCase {
  const char* name;
  std::string template_text;
  std::vector<std::string> expected;  // kFooter stands for the footer line
};

TEST_F(ReportEngine, TemplatesGiveTheirPages) {
  const std::vector<TemplateCase> cases = {
      {"no block: once, first file's values, footer before </body>, indentation lost",
       "<html>\n  <body>\n\t<h1>{album}</h1>  \n\n</body>\n</html>\n",
       {"<html>", "<body>", "<h1>First Light</h1>", "", kFooter, "</body>", "</html>"}},
      {"two blocks list every file and restart the counter",
       "<!-- {repeat_begin} -->\n{counter}. {title}\n<!-- {repeat_end} -->\n"
       "<!-- {repeat_begin} -->\n  {counter}:{track}\n<!-- {repeat_end} -->",
       {"1. Dawn", "2. Noon", "3. Dusk", "1:1/3", "2:2/3", "3:3/3"}},
      {"two counter lines in a block advance by two per row",
       "<!-- {repeat_begin} -->\n{counter}a\n{counter}b\n<!-- {repeat_end} -->",
       {"1a", "2b", "3a", "4b", "5a", "6b"}},
      {"values outside blocks: first file before, last file after",
       "{album}\n<!-- {repeat_begin} -->\n<!-- {repeat_end} -->\n{album} {file_name}",
       {"First Light", "Last Light 03.mp3"}},
      {"begin marker without end marker runs to the end; its </body> gets no footer",
       "<body>\n<!-- {repeat_begin} -->\n{title}\n</body>",
       {"<body>", "Dawn", "</body>", "Noon", "</body>", "Dusk", "</body>"}},
      {"begin marker on the last line writes no row",
       "top\n<!-- {repeat_begin} -->", {"top"}},
      {"end marker outside a block, and markers without their blanks, stay as written",
       "<!-- {repeat_end} -->\n<!--{repeat_begin}-->\n<!-- {repeat_begin} --> x\n<!-- {REPEAT_BEGIN} -->",
       {"<!-- {repeat_end} -->", "<!--{repeat_begin}-->", "<!-- {repeat_begin} --> x", "<!-- {REPEAT_BEGIN} -->"}},
      {"charset: only the whole comment is a placeholder, in any letter case",
       "{charset}\n<!-- {CHARSET} -->",
       {"{charset}", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"}},
      {"early placeholders match in any letter case",
       "{ARTIST}/{Title}/{YEAR}/{genre}/{Track}/{ALBUM}/{Time}",
       {"Ana/Dawn/2003/Ambient/1/3/First Light/00:01"}},
      {"late placeholders only where written in lower case at least once",
       "{Counter}\n{counter} {Counter} {COUNTER}\n{Image} {IMAGE_NAME}\n{Comment}",
       {"{Counter}", "1 1 1", "{Image} {IMAGE_NAME}", "{Comment}"}},
      {"only an exact </body> outside blocks gets a footer",
       "</BODY>\n</body></html>\n  </body>  \n</body>",
       {"</BODY>", "</body></html>", kFooter, "</body>", kFooter, "</body>"}},
      {"stream values, link and counts",
       "<!-- {repeat_begin} -->\n{size}|{bitrate}|{sample_rate}|{link}|{total}\n<!-- {repeat_end} -->",
       {"4|32|22050||3", "4|32|22050||3", "4|32|22050|http://x.example/|3"}},
      {"comment with CR LF keeps its LF after the line break",
       "<!-- {repeat_begin} -->\n[{comment}]\n<!-- {repeat_end} -->",
       {"[]", "[one<br>\ntwo]", "[]"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = Preview(c.template_text);
    ASSERT_EQ(lines.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (c.expected[i] == kFooter) {
        EXPECT_TRUE(lines[i].starts_with(test::FooterStart()) && lines[i].ends_with("</p>")) << c.name << ": " << lines[i];
      } else {
        EXPECT_EQ(lines[i], c.expected[i]) << c.name << ", line " << i;
      }
    }
  }
}

TEST_F(ReportEngine, TitleIsInsertedBeforeTagsAndImageMarkupUsesTheImageName) {
  engine.FTitle = "{artist} live";
  engine.FImageName = "cover.png";
  EXPECT_EQ(Preview("{page_title}\n{image}|{image_name}"),
            (std::vector<std::string>{"Ana live", "<img src=\"cover.png\">|cover.png"}));
  EXPECT_TRUE(engine.FImageUsed);
  Preview("no picture here {title}");
  EXPECT_FALSE(engine.FImageUsed);
}

TEST_F(ReportEngine, TotalsAreTheSumsOfTheRowsAndAreComputedOnce) {
  engine.FAudioFile.FileList.push_back(test::Fixture("mpeg/bigcover_v24.mp3"));  // 113 KB
  auto lines = Preview("<!-- {repeat_begin} -->\n{size} {time}\n<!-- {repeat_end} -->\n{total} {total_size} {total_time}");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "4 00:01");
  EXPECT_EQ(lines[3], "113 00:01");
  EXPECT_EQ(lines[4], "4 125 00:04");

  // A later generation reuses the sums even when a file has gone since.
  std::filesystem::remove(tracks[0]);
  lines = Preview("<!-- {repeat_begin} -->\n{size}\n<!-- {repeat_end} -->\n{total_size}");
  EXPECT_EQ(lines, (std::vector<std::string>{"0", "4", "4", "113", "125"}));
}

TEST_F(ReportEngine, ThousandsOfKilobytesAndHoursAreGrouped) {
  engine.FTotalsReady = true;
  engine.FTotalSize = 1234567;
  engine.FTotalTime = 3661;
  EXPECT_EQ(Preview("{total_size} {total_time}"), (std::vector<std::string>{"1 234 567 01:01:01"}));
}

TEST_F(ReportEngine, FilesWithoutTheID3v2TagShowTheirID3v1TagAndUnreadableFilesGiveEmptyRows) {
  engine.FAudioFile.FileList = {test::Fixture("foundation/v1only.mp3"), dir.File("missing.mp3"), tracks[1]};
  auto lines = Preview("<!-- {repeat_begin} -->\n{counter}|{title}|{track}|{genre}|{size}|{time}|{file_name}\n"
                       "<!-- {repeat_end} -->");
  EXPECT_EQ(lines, (std::vector<std::string>{"1|Stone Song|7|Pop|4|00:01|v1only.mp3", "2||||0||missing.mp3",
                                             "3|Noon|2/3||4|00:01|02.mp3"}));
}

bool IsOneOfTheFixtureCovers(const std::string& bytes) {
  return !bytes.empty() &&
         (bytes == test::ReadAll(test::Fixture("mpeg/cover.jpg")) || bytes == test::ReadAll(test::Fixture("mpeg/cover.png")));
}

TEST_F(ReportEngine, ExportReplacesTheExtensionCreatesFoldersAndPutsThePictureBeside) {
  engine.FAudioFile.FileList = {test::Fixture("mpeg/eyed3_v24_utf8.mp3")};  // has a cover
  dir.Write("Templates/t.htm", "<p>{title}</p>\n<p>{image}</p>");
  engine.FTemplateName = "T.HTM";  // names are looked up without regard to case
  engine.FImageName = "2021 Album.jpg";
  std::filesystem::create_directories(dir.File("out/deeper"));
  std::string old_target = dir.Write("out/deeper/report.htm", "an older report");
  engine.FOutputFileName = dir.File("out/deeper/report.html");
  ASSERT_EQ(engine.BuildReport(TReportMode::Export), TReportResult::Done);
  EXPECT_EQ(engine.FWrittenPath, old_target);
  EXPECT_EQ(test::ReadAll(old_target), "<p>Tïtle ♪</p>\r\n<p><img src=\"2021 Album.jpg\"></p>\r\n");
  EXPECT_TRUE(IsOneOfTheFixtureCovers(test::ReadAll(dir.File("out/deeper/2021 Album.jpg"))));
  EXPECT_FALSE(std::filesystem::exists(dir.File("out/deeper/report.html")));

  // A new folder two levels down is created; without "{image}" no picture goes beside.
  dir.Write("Templates/t.htm", "<p>{title}</p>");
  engine.FOutputFileName = dir.File("new/sub/plain");
  ASSERT_EQ(engine.BuildReport(TReportMode::Export), TReportResult::Done);
  EXPECT_EQ(test::ReadAll(dir.File("new/sub/plain.htm")), "<p>Tïtle ♪</p>\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("new/sub/2021 Album.jpg")));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ReportEngine, PreviewAlwaysWritesThePictureIntoTheTempFolder) {
  engine.FAudioFile.FileList = {test::Fixture("mpeg/eyed3_v24_utf8.mp3"), tracks[0]};
  std::string shown;
  engine.OnShowPreview = [&](const std::string& path) { shown = path; };
  Preview("{title}");
  EXPECT_EQ(shown, dir.File("temp/album_preview.htm"));
  EXPECT_EQ(engine.FImageName, "image.jpg");
  EXPECT_TRUE(IsOneOfTheFixtureCovers(test::ReadAll(dir.File("temp/image.jpg"))));

  // A first file without a picture writes none.
  engine.FAudioFile.FileList = {tracks[0]};
  engine.FImageName = "none.jpg";
  Preview("{title}");
  EXPECT_FALSE(std::filesystem::exists(dir.File("temp/none.jpg")));
}

TEST_F(ReportEngine, FailuresAreToldAndWriteNothing) {
  struct FailureCase {
    const char* name;
    std::string template_name;
    std::string output;
    TReportResult result;
    std::string message;
  };
  std::string blocker = dir.Write("blocker", "a file where a folder would have to be");
  std::filesystem::create_directories(dir.File("taken/report.htm"));
  dir.Write("Templates/good.htm", "<p>{title}</p>");
  const std::vector<FailureCase> cases = {
      {"no template in the list", "", dir.File("r.htm"), TReportResult::NoTemplates,
       std::string("HTML Templates not found! You may download Templates from our web site: ") + kHomePage},
      {"template missing", "gone.htm", dir.File("r.htm"), TReportResult::Failed,
       "Cannot open file " + dir.File("Templates/gone.htm")},
      {"name without folder", "good.htm", "report.htm", TReportResult::Failed, "Unable to create directory"},
      {"empty name", "good.htm", "", TReportResult::Failed, "Unable to create directory"},
      {"folder cannot be made", "good.htm", blocker + "/sub/r.htm", TReportResult::Failed,
       "Unable to create directory"},
      {"target is a folder", "good.htm", dir.File("taken/report.htm"), TReportResult::Failed,
       "Cannot create file " + dir.File("taken/report.htm")},
  };
  for (const auto& c : cases) {
    messages.clear();
    engine.FTemplateName = c.template_name;
    engine.FOutputFileName = c.output;
    EXPECT_EQ(engine.BuildReport(TReportMode::Export), c.result) << c.name;
    EXPECT_EQ(messages, std::vector<std::string>{c.message}) << c.name;
    EXPECT_TRUE(engine.FWrittenPath.empty()) << c.name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.htm")));
  EXPECT_FALSE(std::filesystem::exists("report.htm"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("temp/album_preview.htm")));
  // No temporary file is left beside the targets.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("taken")), {}), 1);
}

TEST_F(ReportEngine, ProgressRunsFromZeroCapsAtAHundredAndHides) {
  std::vector<std::string> many(150, tracks[0]);
  engine.FAudioFile.FileList = many;
  std::vector<int> positions;
  std::vector<bool> resets;
  int events = 0;
  engine.OnStepProgress = [&](int position) { positions.push_back(position); };
  engine.OnResetProgress = [&](bool visible) { resets.push_back(visible); };
  engine.OnProcessEvents = [&] { ++events; };
  Preview("a\n<!-- {repeat_begin} -->\n{title}\n<!-- {repeat_end} -->\nb");
  // Lines outside blocks (the begin marker included) and one step per row.
  ASSERT_EQ(positions.size(), 3u + 150u);
  for (size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(positions[i], std::min<int>(static_cast<int>(i) + 1, 100));
  EXPECT_EQ(resets, (std::vector<bool>{true, false}));
  // Events run before every step and after every template line.
  EXPECT_EQ(events, 153 + 3);
}

TEST_F(ReportEngine, ARunningGenerationRefusesAnotherAndStopsWhenCancelled) {
  dir.Write("Templates/t.htm", "<!-- {repeat_begin} -->\n{title}\n<!-- {repeat_end} -->");
  engine.FTemplateName = "t.htm";
  std::vector<TReportResult> nested;
  engine.OnProcessEvents = [&] {
    EXPECT_TRUE(engine.IsBusy());
    if (nested.empty()) nested.push_back(engine.BuildReport(TReportMode::Preview));
  };
  EXPECT_EQ(engine.BuildReport(TReportMode::Preview), TReportResult::Done);
  EXPECT_EQ(nested, std::vector<TReportResult>{TReportResult::Ignored});
  EXPECT_FALSE(engine.IsBusy());
  std::filesystem::remove(dir.File("temp/album_preview.htm"));

  int rows = 0;
  bool hidden = false;
  engine.OnProcessEvents = [&] {
    if (++rows == 2) engine.Cancel();
  };
  engine.OnResetProgress = [&](bool visible) { hidden = !visible; };
  EXPECT_EQ(engine.BuildReport(TReportMode::Preview), TReportResult::Cancelled);
  EXPECT_FALSE(std::filesystem::exists(dir.File("temp/album_preview.htm")));
  EXPECT_TRUE(hidden);
  EXPECT_FALSE(engine.IsBusy());
  // The next request runs again.
  engine.OnProcessEvents = nullptr;
  EXPECT_EQ(engine.BuildReport(TReportMode::Preview), TReportResult::Done);
}

TEST_F(ReportEngine, KeepReadableFilesDropsTheRestAndItsValuesServeTheNextGeneration) {
  engine.FAudioFile.FileList = {tracks[0], dir.File("missing.mp3"), dir.Write("notes.mp3", "no audio"), tracks[2]};
  EXPECT_EQ(engine.KeepReadableFiles(), 2u);
  EXPECT_EQ(engine.FAudioFile.FileList, (std::vector<std::string>{tracks[0], tracks[2]}));
  // The files are not read again: a file gone since still shows its values.
  std::filesystem::remove(tracks[0]);
  EXPECT_EQ(Preview("<!-- {repeat_begin} -->\n{title} {size}\n<!-- {repeat_end} -->\n{total_size}"),
            (std::vector<std::string>{"Dawn 4", "Dusk 4", "8"}));
  // Once a generation is over, the next one reads the files afresh.
  EXPECT_EQ(Preview("<!-- {repeat_begin} -->\n{title} {size}\n<!-- {repeat_end} -->"),
            (std::vector<std::string>{" 0", "Dusk 4"}));
}

TEST_F(ReportEngine, ProposedNameIsYearAndAlbumOrUntitled) {
  EXPECT_EQ(engine.ProposeReportName(), "2003 First Light");
  engine.FAudioFile.FileList = {tracks[1]};
  EXPECT_EQ(engine.ProposeReportName(), "Second Light");
  engine.FAudioFile.FileList = {test::Fixture("foundation/plain.mp3")};
  EXPECT_EQ(engine.ProposeReportName(), "Untitled");
  engine.FAudioFile.FileList = {test::TaggedTrack(dir, "t.mp3", {{"TIT2", "only a title"}})};
  EXPECT_EQ(engine.ProposeReportName(), "");
}

}  // namespace
