#include <gtest/gtest.h>

#include <filesystem>

#include "audiofile/audio_file.h"
#include "toolkit/program_info.h"
#include "support/test_support.h"

namespace {

using test::Bytes;
using test::Fill;

// MPEG 1 Layer III at 32 kbit/s, 44100 Hz, mono: frames of 104 bytes.
// The file is frames and zeros up to size bytes, so its CBR duration is
// size * 8 / 32000 seconds.
std::string MpegFile(size_t size) {
  std::string header = Bytes({0xFF, 0xFB, 0x10, 0xC0});
  std::string out;
  while (out.size() + 104 <= size) out += header + Fill(100);
  return out + Fill(size - out.size());
}

std::string Syncsafe(uint32_t v) {
  return Bytes({static_cast<int>((v >> 21) & 0x7F), static_cast<int>((v >> 14) & 0x7F),
                static_cast<int>((v >> 7) & 0x7F), static_cast<int>(v & 0x7F)});
}
std::string Frame3(const std::string& id, const std::string& data) {
  return id + test::BE32(static_cast<uint32_t>(data.size())) + Bytes({0, 0}) + data;
}
std::string Tag3(const std::string& body) { return "ID3" + Bytes({3, 0, 0}) + Syncsafe(static_cast<uint32_t>(body.size())) + body; }
std::string Text(const std::string& text) { return Bytes({0}) + text; }

struct Loader {
  test::TempDir dir;
  TAudioFile audio;
  bool Load(const std::string& name, const std::string& bytes, int preferred = 2) {
    audio.SetPreferredTag(preferred);
    audio.FileName = dir.Write(name, bytes);
    return audio.LoadFile();
  }
  bool LoadFixture(const std::string& name, int preferred = 2) {
    audio.SetPreferredTag(preferred);
    audio.FileName = test::Fixture("mpeg/" + name);
    return audio.LoadFile();
  }
};

TEST(LoadMpeg, SizesAndDurationsAreRoundedByTheirRules) {
  struct Case {
    size_t bytes;
    int32_t kb;
    uint32_t seconds;
    const char* text;
  } cases[] = {
      {1536, 2, 0, "00:00"},     // 1.5 Kb rounds to even; 0.384 s
      {2560, 2, 1, "00:01"},     // 2.5 Kb rounds to even; 0.64 s
      {10000, 10, 3, "00:03"},   // 2.5 s rounds away from zero
      {14000, 14, 4, "00:04"},   // 3.5 s
  };
  for (const Case& c : cases) {
    Loader l;
    ASSERT_TRUE(l.Load("a.mp3", MpegFile(c.bytes))) << c.bytes;
    const TMpegTotal& s = l.audio.Stream;
    EXPECT_TRUE(s.Valid);
    EXPECT_EQ(s.FileSizeKB, c.kb) << c.bytes;
    EXPECT_EQ(s.Duration, c.seconds) << c.bytes;
    EXPECT_EQ(s.DurationText, c.text) << c.bytes;
    EXPECT_EQ(s.BitRate, 32u);
    EXPECT_EQ(s.SampleRate, 44100u);
    EXPECT_EQ(s.ChannelMode, "Mono");
  }
}

TEST(LoadMpeg, FileWithoutTags) {
  Loader l;
  ASSERT_TRUE(l.LoadFixture("cbr128_stereo.mp3"));
  EXPECT_EQ(l.audio.FileType, atMP3v2);
  EXPECT_TRUE(l.audio.Stream.Valid);
  EXPECT_EQ(l.audio.Stream.Encoder, "LAME 3.10");
  EXPECT_FALSE(l.audio.Tags.HasTagV1);
  EXPECT_FALSE(l.audio.Tags.HasTagV2);
  EXPECT_EQ(l.audio.Tags.TagVersion, "");
  EXPECT_FALSE(l.audio.HasPreferredTag());
}

TEST(LoadMpeg, NoFrameMeansNotValidButTheTagIsStillRead) {
  Loader l;
  std::string bytes = Tag3(Frame3("TIT2", Text("Only a tag"))) + Fill(5000, 0x20);
  EXPECT_FALSE(l.Load("tag_only.mp3", bytes));
  EXPECT_FALSE(l.audio.Stream.Valid);
  EXPECT_EQ(l.audio.Stream.BitRate, 0u);
  EXPECT_EQ(l.audio.Stream.ChannelMode, "");
  EXPECT_EQ(l.audio.Tags.Title, "Only a tag");

  EXPECT_FALSE(l.Load("empty.mp3", ""));
  EXPECT_FALSE(l.audio.Stream.Valid);
  std::filesystem::create_directory(l.dir.File("folder.mp3"));
  l.audio.FileName = l.dir.File("folder.mp3");
  EXPECT_FALSE(l.audio.LoadFile());
}

TEST(LoadMpeg, Mp2AndMp1UseTheSameLoaders) {
  Loader l;
  ASSERT_TRUE(l.LoadFixture("layer2.mp2"));
  EXPECT_EQ(l.audio.Stream.BitRate, 64u);
  EXPECT_EQ(l.audio.Stream.SampleRate, 48000u);
  EXPECT_EQ(l.audio.Stream.Encoder, "QDesign");
  ASSERT_TRUE(l.Load("x.mp1", MpegFile(5000), 1));
  EXPECT_EQ(l.audio.FileType, atMP3v1);
  EXPECT_TRUE(l.audio.Stream.Valid);
}

TEST(LoadID3, BothTagsByPreference) {
  Loader l;
  ASSERT_TRUE(l.LoadFixture("id3v2_v23_latin1.mp3", 1));
  TTagFull v1 = l.audio.Tags;
  EXPECT_EQ(v1.TagVersion, "1.2");  // an ID3v1.1 tag
  EXPECT_TRUE(v1.HasTagV1);
  EXPECT_TRUE(v1.HasTagV2);
  EXPECT_EQ(v1.Title, "Café del Mar");
  EXPECT_EQ(v1.TrackText, "3");
  EXPECT_EQ(v1.Band, "");  // ID3v1 has no band

  ASSERT_TRUE(l.LoadFixture("id3v2_v23_latin1.mp3", 2));
  const TTagFull& v2 = l.audio.Tags;
  EXPECT_EQ(v2.TagVersion, "2.3");
  EXPECT_TRUE(v2.HasTagV1);
  EXPECT_TRUE(v2.HasTagV2);
  EXPECT_EQ(v2.Artist, "Björk Guðmundsdóttir");
  EXPECT_EQ(v2.Album, "Café Album");
  EXPECT_EQ(v2.TrackText, "3/12");
  EXPECT_EQ(v2.TrackNumber, 3);
  EXPECT_EQ(v2.Year, "2003");
  EXPECT_EQ(v2.Genre, "Pop");
  EXPECT_EQ(v2.Band, "The Band");
  EXPECT_EQ(v2.Composer, "Composér");
  EXPECT_EQ(v2.Comment, "Naïve comment");
  EXPECT_TRUE(l.audio.HasPreferredTag());
}

TEST(LoadID3, OnlyAnId3v1TagWithPreference2ShowsNothing) {
  Loader l;
  std::string v1 = "TAG" + std::string("Title") + Fill(25) + Fill(30) + Fill(30) + "1999" + Fill(30) + Bytes({13});
  ASSERT_TRUE(l.Load("v1.mp3", MpegFile(4000) + v1, 2));
  EXPECT_TRUE(l.audio.Tags.HasTagV1);
  EXPECT_FALSE(l.audio.Tags.HasTagV2);
  EXPECT_EQ(l.audio.Tags.Title, "");
  EXPECT_FALSE(l.audio.HasPreferredTag());
}

TEST(LoadID3, Id3v2FieldsIntoTheRecord) {
  std::string body = Frame3("TRCK", Text("03/12")) + Frame3("TBPM", Text("120.5")) + Frame3("TEXT", Text("Lyr")) +
                     Frame3("TIT3", Text("Sub")) + Frame3("TPE3", Text("Cond")) + Frame3("TCOP", Text("(c)")) +
                     Frame3("TOPE", Text("OA")) + Frame3("TOLY", Text("OL")) + Frame3("TOAL", Text("OAl")) +
                     Frame3("TPE4", Text("Rmx")) + Frame3("TRDA", Text("June")) + Frame3("TIT1", Text("Grp")) +
                     Frame3("TLAN", Text("eng")) + Frame3("TENC", Text("enc")) +
                     Frame3("WXXX", Text("") + Bytes({0}) + "http://a.b/") +
                     Frame3("COMM", Text("eng") + "iTunNORM" + Bytes({0}) + "0 0") +
                     Frame3("COMM", Text("eng") + Bytes({0}) + "Shown") +
                     Frame3("USLT", Text("eng") + Bytes({0}) + "First lyrics") +
                     Frame3("USLT", Text("eng") + Bytes({0}) + "Second lyrics") +
                     Frame3("APIC", Text("image/png") + Bytes({0, 3, 0}) + "P1") +
                     Frame3("APIC", Text("image/png") + Bytes({0, 4, 0}) + "P2");
  Loader l;
  ASSERT_TRUE(l.Load("full.mp3", Tag3(body) + MpegFile(4000)));
  const TTagFull& t = l.audio.Tags;
  EXPECT_EQ(t.TrackText, "03/12");
  EXPECT_EQ(t.TrackNumber, 3);
  EXPECT_EQ(t.BPM, 0);
  EXPECT_EQ(t.Lyricist, "Lyr");
  EXPECT_EQ(t.Subtitle, "Sub");
  EXPECT_EQ(t.Conductor, "Cond");
  EXPECT_EQ(t.Copyright, "(c)");
  EXPECT_EQ(t.OrigArtist, "OA");
  EXPECT_EQ(t.OrigLyricist, "OL");
  EXPECT_EQ(t.OrigAlbum, "OAl");
  EXPECT_EQ(t.Remixed, "Rmx");
  EXPECT_EQ(t.RecordDate, "June");
  EXPECT_EQ(t.ContentGroup, "Grp");
  EXPECT_EQ(t.Language, "eng");
  EXPECT_EQ(t.Link, "http://a.b/");
  EXPECT_EQ(t.Comment, "Shown");
  EXPECT_TRUE(t.HasLyrics);
  EXPECT_EQ(t.Lyrics, "First lyrics");
  EXPECT_TRUE(t.HasPicture);
  EXPECT_EQ(t.PictureData, Text("image/png") + Bytes({0, 3, 0}) + "P1");
  EXPECT_TRUE(l.audio.Stream.Valid);
}

TEST(LoadID3, TrackTexts) {
  struct Case {
    const char* track;
    const char* text;
    int32_t number;
  } cases[] = {{"A1", "A1", 0}, {"123456789012345", "123456789012", 0}, {"7", "7", 7}, {"ünï/çødé/täxt!", "ünï/çødé/täx", 0}};
  for (const Case& c : cases) {
    Loader l;
    ASSERT_TRUE(l.Load("t.mp3", Tag3(Frame3("TRCK", Bytes({3}) + c.track)) + MpegFile(3000)));
    EXPECT_EQ(l.audio.Tags.TrackText, c.text) << c.track;
    EXPECT_EQ(l.audio.Tags.TrackNumber, c.number) << c.track;
  }
}

// The picture file lands in the program folder; tests point that at a
// temporary folder.
class ExtractPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramPath(dir.File("velloran")); }
  void TearDown() override { SetProgramPath(""); }
  test::TempDir dir;
  TAudioFile audio;
  std::string Extract(const std::string& fixture) {
    audio.SetPreferredTag(2);
    audio.FileName = test::Fixture("mpeg/" + fixture);
    audio.LoadFile();
    return audio.ExtractPicture();
  }
};

TEST_F(ExtractPictureTest, WritesTheEmbeddedCoverBesideTheProgram) {
  EXPECT_EQ(Extract("eyed3_v24_utf8.mp3"), dir.File("tmp_image.jpg"));
  EXPECT_EQ(test::ReadAll(dir.File("tmp_image.jpg")), test::ReadAll(test::Fixture("mpeg/cover.jpg")));

  EXPECT_EQ(Extract("eyed3_v23_utf16.mp3"), dir.File("tmp_image.png"));
  EXPECT_EQ(test::ReadAll(dir.File("tmp_image.png")), test::ReadAll(test::Fixture("mpeg/cover.png")));

  // The large cover: its bytes stand in the file after the APIC frame's
  // own fields (10-byte tag header, 10-byte frame header, encoding,
  // "image/jpeg", zero, picture type, empty description).
  std::string path = Extract("bigcover_v24.mp3");
  ASSERT_EQ(path, dir.File("tmp_image.jpg"));
  std::string picture = test::ReadAll(path);
  ASSERT_GT(picture.size(), 100u * 1024);
  std::string file = test::ReadAll(test::Fixture("mpeg/bigcover_v24.mp3"));
  EXPECT_EQ(file.substr(34, picture.size()), picture);
  EXPECT_EQ(picture.substr(picture.size() - 2), Bytes({0xFF, 0xD9}));
}

// A load that leaves the picture unread keeps its length and flag, and
// ExtractPicture then reads the picture from the file: the same image as
// after a load that read it.
TEST_F(ExtractPictureTest, APictureLeftUnreadIsReadWhenExtracted) {
  for (const char* fixture : {"eyed3_v24_utf8.mp3", "eyed3_v23_utf16.mp3", "bigcover_v24.mp3"}) {
    audio.ReadPictures = true;
    std::string eager_path = Extract(fixture);
    ASSERT_FALSE(eager_path.empty()) << fixture;
    const std::string eager_image = test::ReadAll(eager_path);
    const std::string eager_data = audio.Tags.PictureData;
    std::filesystem::remove(eager_path);

    audio.ReadPictures = false;
    audio.SetPreferredTag(2);
    audio.FileName = test::Fixture(std::string("mpeg/") + fixture);
    ASSERT_TRUE(audio.LoadFile()) << fixture;
    EXPECT_TRUE(audio.Tags.HasPicture) << fixture;
    EXPECT_EQ(audio.Tags.PictureData, "") << fixture;
    EXPECT_EQ(audio.Tags.PictureSize, static_cast<int64_t>(eager_data.size())) << fixture;
    EXPECT_EQ(audio.ExtractPicture(), eager_path) << fixture;
    EXPECT_EQ(test::ReadAll(eager_path), eager_image) << fixture;
    EXPECT_EQ(audio.Tags.PictureData, eager_data) << fixture;
  }
}

TEST_F(ExtractPictureTest, NoPictureWritesNothing) {
  EXPECT_EQ(Extract("id3v2_v23_latin1.mp3"), "");
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  EXPECT_EQ(Extract("cbr128_stereo.mp3"), "");
}

TEST_F(ExtractPictureTest, Version22PictureIsExtracted) {
  std::string pic = Bytes({0}) + "PNG" + Bytes({3, 0}) + "PNGDATA";
  std::string v22 = "ID3" + Bytes({2, 0, 0}) + Syncsafe(static_cast<uint32_t>(6 + pic.size())) + "PIC" +
                    Bytes({0, 0, static_cast<int>(pic.size())}) + pic;
  audio.FileName = dir.Write("old.mp3", v22 + MpegFile(3000));
  audio.SetPreferredTag(2);
  audio.LoadFile();
  EXPECT_EQ(audio.Tags.TagVersion, "2.2");
  EXPECT_EQ(audio.ExtractPicture(), dir.File("tmp_image.png"));
  EXPECT_EQ(test::ReadAll(dir.File("tmp_image.png")), "PNGDATA");
}

}  // namespace
