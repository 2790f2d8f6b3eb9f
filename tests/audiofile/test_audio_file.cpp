#include <gtest/gtest.h>

#include "audiofile/audio_file.h"
#include "support/test_support.h"

namespace {

TEST(AudioFile, DetectFileTypeByLowerCasedExtension) {
  struct Case {
    const char* name;
    int preferred;
    TAudioType type;
  } cases[] = {
      {"/music/Song.MP3", 2, atMP3v2}, {"/music/Song.mp3", 1, atMP3v1}, {"a.mp3", 2, atMP3v2},
      {"a.ap", 2, atUnknown},          {"/x/a.mp2", 1, atMP3v1},        {"/x/a.MP1", 2, atMP3v2},
      {"/x/a.ogg", 2, atOGG},          {"/x/a.wma", 2, atWMA},          {"/x/a.wmv", 2, atWMV},
      {"/x/a.asf", 2, atASF},          {"/x/a.ape", 2, atAPE},          {"/x/a.mpc", 2, atMPC},
      {"/x/a.aac", 1, atAAC},          {"/x/a.FLAC", 2, atFLAC},        {"/x/a.mp3xyz", 2, atUnknown},
      {"/x/noextension", 2, atUnknown}, {"/x.mp3/folder", 2, atUnknown}, {"/x/a.wav", 2, atUnknown},
      {"/x/.mp3", 2, atMP3v2},         {"/x/a.ÖGG", 2, atUnknown},
  };
  TAudioFile audio;
  for (const auto& c : cases) {
    audio.FileName = c.name;
    audio.SetPreferredTag(c.preferred);
    EXPECT_EQ(audio.DetectFileType(), c.type) << c.name;
  }
}

TEST(AudioFile, NameParts) {
  TAudioFile audio;
  audio.FileName = "/music/Ünïcode Folder/Track 01.FLAC";
  EXPECT_EQ(audio.GetFileExt(), ".flac");
  EXPECT_EQ(audio.GetShortFileName(), "Track 01.FLAC");
  audio.FileName = "/music.d/none";
  EXPECT_EQ(audio.GetFileExt(), "");
  EXPECT_EQ(audio.GetShortFileName(), "none");
}

TEST(AudioFile, ConstructionState) {
  TAudioFile audio;
  EXPECT_EQ(audio.PreferredTag, 1);
  EXPECT_EQ(audio.FileType, atUnknown);
  EXPECT_TRUE(audio.FileList.empty());
  EXPECT_EQ(audio.ReportCharset, "");
  EXPECT_FALSE(audio.Stream.Valid);
  audio.SetPreferredTag(7);
  EXPECT_EQ(audio.PreferredTag, 2);
  audio.SetPreferredTag(1);
  EXPECT_EQ(audio.PreferredTag, 1);
}

TEST(AudioFile, FilesThatCannotBeLoadedLeaveClearedRecords) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("folder.mp3"));
  std::string cases[] = {
      dir.File("missing.mp3"),
      dir.File("folder.mp3"),
      dir.Write("notes.txt", "hello, this is text"),
      dir.Write("empty.mp3", ""),
  };
  TAudioFile audio;
  for (const auto& path : cases) {
    // Fill the records first: nothing of an earlier load may survive.
    audio.Tags.Title = "stale";
    audio.Stream.Valid = true;
    audio.FileName = path;
    EXPECT_FALSE(audio.LoadFile()) << path;
    EXPECT_EQ(audio.Tags.Title, "") << path;
    EXPECT_FALSE(audio.Stream.Valid) << path;
    EXPECT_FALSE(audio.Tags.HasTagV1) << path;
  }
}

TEST(AudioFile, ID3v1PreferenceReadsTheOldTagAndNotesTheNewOne) {
  TAudioFile audio;
  audio.SetPreferredTag(1);
  audio.FileName = test::Fixture("foundation/v1v2.mp3");
  audio.LoadFile();
  EXPECT_EQ(audio.FileType, atMP3v1);
  EXPECT_TRUE(audio.Tags.HasTagV1);
  EXPECT_TRUE(audio.Tags.HasTagV2);
  EXPECT_EQ(audio.Tags.Title, "Title One");
  EXPECT_EQ(audio.Tags.TagVersion, "1.2");
  EXPECT_EQ(audio.Tags.TrackText, "3");
  EXPECT_EQ(audio.Tags.Genre, "Rock");
  EXPECT_TRUE(audio.HasPreferredTag());

  audio.FileName = test::Fixture("foundation/v1only.mp3");
  audio.LoadFile();
  EXPECT_TRUE(audio.Tags.HasTagV1);
  EXPECT_FALSE(audio.Tags.HasTagV2);
  EXPECT_EQ(audio.Tags.Artist, "The Artist");
  EXPECT_EQ(audio.Tags.Year, "1999");
  EXPECT_EQ(audio.Tags.TrackNumber, 7);
  EXPECT_EQ(audio.Tags.Genre, "Pop");

  audio.FileName = test::Fixture("foundation/plain.mp3");
  audio.LoadFile();
  EXPECT_FALSE(audio.Tags.HasTagV1);
  EXPECT_FALSE(audio.Tags.HasTagV2);
  EXPECT_EQ(audio.Tags.TagVersion, "");
}

TEST(AudioFile, ID3v1TextsAreDecodedFromWindows1252) {
  test::TempDir dir;
  std::string block = "TAG" + test::Fill(125);
  block.replace(3, 5, "Caf\xE9\x80");
  block[127] = static_cast<char>(200);  // no such genre
  TAudioFile audio;
  audio.SetPreferredTag(1);
  audio.FileName = dir.Write("x.mp3", test::Fill(500) + block);
  audio.LoadFile();
  EXPECT_EQ(audio.Tags.Title, "Café€");
  EXPECT_EQ(audio.Tags.TagVersion, "1.1");
  EXPECT_EQ(audio.Tags.TrackText, "0");
  EXPECT_EQ(audio.Tags.Genre, "");
}

TEST(AudioFile, HasPreferredTagByType) {
  struct Case {
    TAudioType type;
    int preferred;
    bool v1, v2, expected;
  } cases[] = {
      {atMP3v1, 1, true, false, true},  {atMP3v1, 1, false, true, false}, {atMP3v2, 2, false, true, true},
      {atMP3v2, 2, true, false, false}, {atOGG, 2, true, false, true},    {atWMA, 2, true, false, true},
      {atAPE, 2, true, false, true},    {atAAC, 1, true, false, true},    {atAAC, 2, true, false, false},
      {atFLAC, 2, false, true, true},   {atFLAC, 1, false, true, false},  {atWMV, 2, true, true, false},
      {atASF, 2, true, true, false},    {atMPC, 2, true, true, false},    {atUnknown, 2, true, true, false},
  };
  TAudioFile audio;
  for (const auto& c : cases) {
    audio.FileType = c.type;
    audio.SetPreferredTag(c.preferred);
    audio.Tags.HasTagV1 = c.v1;
    audio.Tags.HasTagV2 = c.v2;
    EXPECT_EQ(audio.HasPreferredTag(), c.expected) << int(c.type) << " pref " << c.preferred;
  }
}

TEST(AudioFile, ReportNameFromYearAndAlbum) {
  test::TempDir dir;
  TAudioFile audio;
  audio.SetPreferredTag(1);
  // Tag with year and album.
  std::string tagged = "TAG" + test::Fill(125);
  tagged.replace(63, 10, "Blue Album");
  tagged.replace(93, 4, "1999");
  EXPECT_EQ(audio.GetReportName(dir.Write("a.mp3", test::Fill(200) + tagged)), "1999 Blue Album");
  // Tag with empty year and album gives an empty name, not "Untitled".
  std::string empty_tag = "TAG" + test::Fill(125);
  empty_tag.replace(3, 5, "Title");
  EXPECT_EQ(audio.GetReportName(dir.Write("b.mp3", test::Fill(200) + empty_tag)), "");
  // No tag at all.
  EXPECT_EQ(audio.GetReportName(dir.Write("c.mp3", test::Fill(300))), "Untitled");
  // The loaded values stay afterwards.
  audio.GetReportName(dir.File("a.mp3"));
  EXPECT_EQ(audio.Tags.Album, "Blue Album");
}

}  // namespace

namespace {

TEST(AudioFile, PathsKeepEveryCharacter) {
  test::TempDir dir;
  std::string bytes = test::ReadAll(test::Fixture("foundation/v1only.mp3"));
  // UTF-8 names in several scripts, and a name whose bytes are not UTF-8 at all.
  for (std::string name : {std::string("Émile – 日本語 😀.MP3"), std::string("Кино.mp3"), std::string("caf\xE9.mp3")}) {
    TAudioFile audio;
    audio.SetPreferredTag(1);
    audio.FileName = dir.Write(name, bytes);
    audio.LoadFile();
    EXPECT_TRUE(audio.Tags.HasTagV1) << name;
    EXPECT_EQ(audio.Tags.Title, "Stone Song") << name;
    EXPECT_EQ(audio.GetShortFileName(), name);
  }
}

}  // namespace

// The report dialog opens through the registered opener, with the list as
// the caller filled it, and never for an empty list.
TEST(AudioFile, ShowReportWizardHandsTheListToTheOpener) {
  std::vector<std::vector<std::string>> opened;
  SetReportWizardOpener([&](TAudioFile& audio) { opened.push_back(audio.FileList); });
  TAudioFile audio;
  audio.ShowReportWizard();
  EXPECT_TRUE(opened.empty());
  audio.FileList = {"/m/c.mp3", "/m/a.ogg", "/m/b.flac"};
  audio.ShowReportWizard();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], audio.FileList);
  SetReportWizardOpener(nullptr);
  audio.ShowReportWizard();
  EXPECT_EQ(opened.size(), 1u);
}
