#include <gtest/gtest.h>

#include <vector>

#include "audiofile/audio_file.h"
#include "audiofile/debuger.h"
#include "toolkit/program_info.h"
#include "support/test_support.h"

namespace {

// Points the program at a folder of its own with given arguments, catches
// the messages for the user, and puts everything back afterwards.
class DebugerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramPath(dir_.File("velloran"));
    SetMessageNotifier([this](const std::string& m) { messages_.push_back(m); });
  }
  void TearDown() override {
    SetProgramPath("");
    SetProgramArguments({});
    SetMessageNotifier(nullptr);
  }
  std::string LogPath() const { return dir_.File("velloran_DEBUG.TXT"); }
  bool LogExists() const { return std::filesystem::exists(LogPath()); }

  test::TempDir dir_;
  std::vector<std::string> messages_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

TEST_F(DebugerTest, FirstArgumentInAnyCaseSwitchesTheLogOn) {
  for (const char* arg : {"debug", "DEBUG", "Debug"}) {
    SetProgramArguments({arg});
    TDebuger d;
    d.StartCheck();
    EXPECT_TRUE(d.Enabled) << arg;
    EXPECT_FALSE(d.WritingHeader);
    EXPECT_EQ(d.LogFileName, LogPath());
  }
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0], "Debug mode Enabled. See file: " + LogPath());
}

TEST_F(DebugerTest, OtherArgumentsLeaveTheLogOffAndWriteNothing) {
  for (std::vector<std::string> args : {std::vector<std::string>{}, {"x", "debug"}, {"debugx"}, {"-debug"}}) {
    SetProgramArguments(args);
    TDebuger d;
    d.StartCheck();
    EXPECT_FALSE(d.Enabled);
  }
  EXPECT_FALSE(LogExists());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(DebugerTest, HeaderBlockIsAppendedOncePerAudioFileObject) {
  SetProgramArguments({"debug"});
  { TAudioFile first; }
  { TAudioFile second; }
  std::vector<std::string> lines = Lines(test::ReadAll(LogPath()));
  ASSERT_EQ(lines.size(), 10u);
  for (size_t block = 0; block < 2; ++block) {
    const std::string* l = &lines[block * 5];
    // Every line starts with the time stamp and " : ".
    for (int i = 0; i < 5; ++i) ASSERT_NE(l[i].find(" : "), std::string::npos) << l[i];
    auto text = [&](int i) { return l[i].substr(l[i].find(" : ") + 3); };
    EXPECT_EQ(text(0), std::string(42, '.'));
    EXPECT_EQ(text(1), ":::::::: START DEBUG INFORMATION :::::::::");
    EXPECT_EQ(text(2).rfind("Date/Time: ", 0), 0u);
    EXPECT_NE(text(2).find(" / "), std::string::npos);
    EXPECT_EQ(text(3), "File Name: " + dir_.File("velloran"));
    EXPECT_EQ(text(4), std::string(41, '.'));
  }
  EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(DebugerTest, ExtensionOfTheProgramIsReplaced) {
  SetProgramPath(dir_.File("velloran.bin"));
  SetProgramArguments({"debug"});
  TDebuger d;
  d.StartCheck();
  EXPECT_EQ(d.LogFileName, LogPath());
}

TEST_F(DebugerTest, UnwritableLogDropsLinesButStaysOn) {
  SetProgramArguments({"debug"});
  TDebuger d;
  d.StartCheck();
  d.LogFileName = dir_.File("missing-folder/log.txt");
  d.WriteLine("dropped");
  EXPECT_TRUE(d.Enabled);
  EXPECT_FALSE(std::filesystem::exists(d.LogFileName));
}

}  // namespace
