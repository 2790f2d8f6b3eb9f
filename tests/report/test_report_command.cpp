// velloran-report without --json: the report written from the command line.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "report/report_test_support.h"

namespace {

struct TRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs velloran-report with arguments in folder cwd.
TRun RunReport(const std::string& cwd, const std::string& args) {
  test::TempDir capture;
  std::string command = "cd " + Quote(cwd) + " && " + std::string(VELLORAN_BIN_DIR) + "/velloran-report " + args +
                        " >" + Quote(capture.File("out")) + " 2>" + Quote(capture.File("err"));
  int status = std::system(command.c_str());
  TRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = test::ReadAll(capture.File("out"));
  run.err = test::ReadAll(capture.File("err"));
  return run;
}

class ReportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.File("music/sub"));
    first = test::TaggedTrack(dir, "music/01.mp3",
                              {{"TIT2", "One"}, {"TALB", "Glass Harbour"}, {"TDRC", "2019"}, {"TPE1", "Ana"}});
    second = test::TaggedTrack(dir, "music/sub/02.mp3", {{"TIT2", "Two"}, {"TALB", "Glass Harbour"}});
    dir.Write("music/notes.txt", "not music");
    dir.Write("music/broken.mp3", "");
    rows_template = dir.Write("rows.htm", "<!-- {repeat_begin} -->\n{counter} {file_name} {title}\n<!-- {repeat_end} -->");
    std::filesystem::create_directories(dir.File("work"));
  }

  test::TempDir dir;
  std::string first, second, rows_template;
};

TEST_F(ReportCommand, ExportsTheProposedNameInTheCurrentFolderAndPrintsIt) {
  TRun run = RunReport(dir.File("work"), Quote(dir.File("music")));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, dir.File("work/2019 Glass Harbour.htm") + "\n");
  EXPECT_EQ(run.err, "");
  std::string page = test::ReadAll(dir.File("work/2019 Glass Harbour.htm"));
  EXPECT_NE(page.find("<title>2019 Glass Harbour</title>"), std::string::npos);
  EXPECT_NE(page.find("charset=iso-8859-1"), std::string::npos);
}

TEST_F(ReportCommand, FoldersAreWalkedInNameOrderAndEachUsableFileIsTakenOnce) {
  TRun run = RunReport(dir.File("work"), "--template " + Quote(rows_template) + " -o out " + Quote(dir.File("music")) +
                                             " " + Quote(second) + " ../music/01.mp3 " + Quote(dir.File("music/notes.txt")));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, dir.File("work/out.htm") + "\n");
  EXPECT_EQ(test::ReadAll(dir.File("work/out.htm")), "1 01.mp3 One\r\n2 02.mp3 Two\r\n");
}

TEST_F(ReportCommand, OptionsSetTitleCharsetAndTarget) {
  std::string title_template = dir.Write("title.htm", "<!-- {charset} -->\n{page_title}|{title}");
  std::string cyrillic = test::TaggedTrack(dir, "c.mp3", {{"TIT2", "Тест"}});
  TRun run = RunReport(dir.File("work"), "--template " + Quote(title_template) +
                                             " --title 'My list' --charset windows-1251 -o sub/dir/r.html " +
                                             Quote(cyrillic));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(test::ReadAll(dir.File("work/sub/dir/r.htm")),
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n"
            "My list|\xD2\xE5\xF1\xF2\r\n");

  // A tag without year and album proposes an empty title; the file is then
  // called Untitled.htm rather than the hidden ".htm".
  run = RunReport(dir.File("work"),
                  "--template " + Quote(title_template) + " --charset-line '<meta charset=\"utf-8\">' " + Quote(cyrillic));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, dir.File("work/Untitled.htm") + "\n");
  EXPECT_EQ(test::ReadAll(dir.File("work/Untitled.htm")), "<meta charset=\"utf-8\">\r\n|Тест\r\n");
}

TEST_F(ReportCommand, AShippedTemplateIsFoundByNameInAnyLetterCase) {
  TRun run = RunReport(dir.File("work"), "--template CATALOGUE.HTM -o cat " + Quote(first));
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(test::ReadAll(dir.File("work/cat.htm")).find("Glass Harbour"), std::string::npos);
}

TEST_F(ReportCommand, WrongUseAndFailuresGiveOneLineAndNoReport) {
  std::string blocker = dir.Write("blocker", "");
  struct ErrorCase {
    const char* name;
    std::string args;
    int exit_code;
    std::string message_start;
  };
  const std::vector<ErrorCase> cases = {
      {"unknown option", "--colour red " + Quote(first), 2, "velloran-report: unknown option --colour"},
      {"value missing", Quote(first) + " --title", 2, "velloran-report: option --title needs a value"},
      {"both targets", "--preview -o x " + Quote(first), 2, "velloran-report: -o and --preview exclude each other"},
      {"two charsets", "--charset utf-8 --charset-line x " + Quote(first), 2, "velloran-report: option --charset-line"},
      {"no path", "--title x", 2, "velloran-report: no music file or folder given"},
      {"missing template", "--template nowhere.htm " + Quote(first), 1, "velloran-report: no template nowhere.htm"},
      {"no usable file", Quote(dir.File("music/notes.txt")) + " " + Quote(dir.File("music/broken.mp3")), 1,
       "velloran-report: none of the given paths is a music file"},
      {"unwritable folder", "-o " + Quote(blocker + "/r.htm") + " " + Quote(first), 1,
       "velloran-report: Unable to create directory"},
  };
  for (const auto& c : cases) {
    TRun run = RunReport(dir.File("work"), c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.name;
    EXPECT_TRUE(run.err.starts_with(c.message_start)) << c.name << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.name << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("work")));
}

TEST_F(ReportCommand, HelpNamesEveryOptionWithExamples) {
  TRun run = RunReport(dir.File("work"), "--help");
  EXPECT_EQ(run.exit_code, 0);
  for (const char* option : {"--template", "--title", "--charset", "--charset-line", "-o", "--preview", "--json", "--help",
                             "Examples:"})
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

}  // namespace
