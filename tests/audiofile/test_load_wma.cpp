// LoadWma: Windows Media attributes into the two records, and the pictures
// they carry through the picture tool.

#include <gtest/gtest.h>

#include <filesystem>

#include "audiofile/audio_file.h"
#include "toolkit/program_info.h"
#include "support/asf_builder.h"
#include "support/test_support.h"

namespace {

struct Mapping {
  const char16_t* Attribute;
  std::string TTagFull::*Field;
};

// Every attribute the loader copies lands in its own field.
TEST(LoadWma, AttributeTable) {
  const Mapping table[] = {
      {u"Author", &TTagFull::Artist},
      {u"WM/AlbumTitle", &TTagFull::Album},
      {u"Title", &TTagFull::Title},
      {u"WM/Year", &TTagFull::Year},
      {u"Description", &TTagFull::Comment},
      {u"WM/Genre", &TTagFull::Genre},
      {u"WM/AudioFileURL", &TTagFull::Link},
      {u"WM/Language", &TTagFull::Language},
      {u"WM/Writer", &TTagFull::Lyricist},
      {u"WM/SubTitle", &TTagFull::Subtitle},
      {u"WM/Composer", &TTagFull::Composer},
      {u"WM/Conductor", &TTagFull::Conductor},
      {u"WM/Band", &TTagFull::Band},
      {u"Copyright", &TTagFull::Copyright},
      {u"WM/OriginalArtist", &TTagFull::OrigArtist},
      {u"WM/OriginalLyricist", &TTagFull::OrigLyricist},
      {u"WM/OriginalAlbumTitle", &TTagFull::OrigAlbum},
      {u"WM/Remixed", &TTagFull::Remixed},
      {u"WM/RecordDate", &TTagFull::RecordDate},
      {u"WM/ContentGroupDescription", &TTagFull::ContentGroup},
      {u"WM/Lyrics", &TTagFull::Lyrics},
      {u"WMFSDKVersion", &TTagFull::TagVersion},
  };
  std::vector<asf::Descriptor> descriptors;
  for (size_t i = 0; i < std::size(table); ++i)
    descriptors.push_back(asf::Text(table[i].Attribute, u"v" + std::u16string(1, char16_t(u'a' + i))));
  descriptors.push_back(asf::Text(u"WM/TrackNumber", u"04/11 and more text"));
  descriptors.push_back(asf::Text(u"WM/BeatsPerMinute", u"96"));
  std::vector<std::string> children = asf::PlainStream(62.5);
  children.push_back(asf::ExtendedContent(descriptors));
  test::TempDir dir;
  TAudioFile audio;
  audio.FileName = dir.Write("all.wma", asf::File(children));
  ASSERT_TRUE(audio.LoadFile());
  for (size_t i = 0; i < std::size(table); ++i)
    EXPECT_EQ(audio.Tags.*table[i].Field, "v" + std::string(1, static_cast<char>('a' + i)))
        << std::string(table[i].Attribute, table[i].Attribute + std::char_traits<char16_t>::length(table[i].Attribute));
  EXPECT_EQ(audio.Tags.TrackText, "04/11 and mo");
  EXPECT_EQ(audio.Tags.TrackNumber, 4);
  EXPECT_EQ(audio.Tags.BPM, 96);
  EXPECT_TRUE(audio.Tags.HasLyrics);
  EXPECT_TRUE(audio.Tags.HasTagV1);
  EXPECT_TRUE(audio.HasPreferredTag());
  EXPECT_TRUE(audio.Stream.Valid);
  EXPECT_EQ(audio.Stream.Duration, 62u) << "62.5 s stated, rounded to the even neighbour";
  EXPECT_EQ(audio.Stream.DurationText, "01:02");
  EXPECT_EQ(audio.Stream.Encoder, "");

  // The same file as .wmv: read alike, but that type has no preferred tag.
  audio.FileName = dir.Write("all.wmv", test::ReadAll(audio.FileName));
  ASSERT_TRUE(audio.LoadFile());
  EXPECT_EQ(audio.FileType, atWMV);
  EXPECT_EQ(audio.Tags.Title, "vc");
  EXPECT_FALSE(audio.HasPreferredTag());
}

TEST(LoadWma, NotAWindowsMediaFile) {
  test::TempDir dir;
  TAudioFile audio;
  audio.FileName = dir.Write("x.wma", test::Fill(5000, 0x41));
  EXPECT_FALSE(audio.LoadFile());
  EXPECT_FALSE(audio.Stream.Valid);
  EXPECT_FALSE(audio.Tags.HasTagV1);
}

class WmaPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramPath(dir.File("velloran")); }
  void TearDown() override { SetProgramPath(""); }
  // The picture file written for a fixture, checked to be a whole JPEG
  // that the fixture holds byte for byte.
  void ExpectCover(const std::string& fixture) {
    SCOPED_TRACE(fixture);
    audio.FileName = test::Fixture(fixture);
    ASSERT_TRUE(audio.LoadFile());
    ASSERT_TRUE(audio.Tags.HasPicture);
    ASSERT_EQ(audio.ExtractPicture(), dir.File("tmp_image.jpg"));
    std::string image = test::ReadAll(dir.File("tmp_image.jpg"));
    ASSERT_GT(image.size(), 100u);
    EXPECT_EQ(image.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(image.substr(image.size() - 2), "\xFF\xD9");
    EXPECT_NE(test::ReadAll(test::Fixture(fixture)).find(image), std::string::npos);
  }
  test::TempDir dir;
  TAudioFile audio;
};

TEST_F(WmaPictureTest, FromWmPicture) { ExpectCover("wma/tagged.wma"); }
TEST_F(WmaPictureTest, FromTheId3Attribute) { ExpectCover("wma/clip.asf"); }

}  // namespace
