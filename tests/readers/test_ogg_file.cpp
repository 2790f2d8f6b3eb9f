#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "readers/ogg_file.h"
#include "support/test_support.h"

namespace {

const std::string kXiphVendor = "Xiph.Org libVorbis I 20200704 (Reducing Environment)";

std::string OggFixture(const std::string& name) { return test::Fixture("ogg/" + name); }

std::vector<std::pair<std::string, std::string>> Frames(const TOGGFile& ogg) {
  std::vector<std::pair<std::string, std::string>> out;
  for (size_t i = 0; i < ogg.FFrames.Count(); ++i) out.emplace_back(ogg.FFrames[i].FName, ogg.FFrames[i].FValue);
  return out;
}

void ExpectNoComments(const TOGGFile& ogg) {
  for (const std::string* field :
       {&ogg.FAlbum, &ogg.FArtist, &ogg.FBand, &ogg.FBPM, &ogg.FComment, &ogg.FComposer, &ogg.FConductor,
        &ogg.FCopyright, &ogg.FContentGroup, &ogg.FGenre, &ogg.FLanguage, &ogg.FLink, &ogg.FLyricist, &ogg.FLyrics,
        &ogg.FOrigAlbum, &ogg.FOrigArtist, &ogg.FOrigLyricist, &ogg.FRecordDate, &ogg.FRemixed, &ogg.FSubtitle,
        &ogg.FTitle, &ogg.FTrack, &ogg.FYear})
    EXPECT_EQ(*field, "");
  EXPECT_FALSE(ogg.FHasTags);
  EXPECT_FALSE(ogg.FHasLyrics);
  EXPECT_EQ(ogg.FFrames.Count(), 0u);
}

TEST(OGGFile, TaggedStereoFillsFieldsAndFrames) {
  TOGGFile ogg;
  ASSERT_TRUE(ogg.ReadHeader(OggFixture("tagged_stereo.ogg")));
  EXPECT_TRUE(ogg.FValid);
  EXPECT_TRUE(ogg.FHasTags);
  EXPECT_EQ(ogg.FTitle, "Song Title");
  EXPECT_EQ(ogg.FArtist, "Some Artist");
  EXPECT_EQ(ogg.FAlbum, "An Album");
  EXPECT_EQ(ogg.FTrack, "3/12");
  EXPECT_EQ(ogg.FYear, "2021");
  EXPECT_EQ(ogg.FGenre, "Rock");
  EXPECT_EQ(ogg.FComment, "A comment");
  EXPECT_EQ(ogg.FLanguage, "eng");
  EXPECT_EQ(ogg.FBPM, "120");
  EXPECT_TRUE(ogg.FHasLyrics);
  EXPECT_EQ(ogg.FLyrics, "First line\nSecond line");
  EXPECT_EQ(Frames(ogg), (std::vector<std::pair<std::string, std::string>>{{"ENCODER", "fixture maker"}}));

  EXPECT_EQ(ogg.FChannelMode, "Stereo");
  EXPECT_EQ(ogg.FSampleRate, 22050);
  EXPECT_EQ(ogg.FBitRate, 30);
  EXPECT_EQ(ogg.FFileSize, 14);  // 13 915 bytes
  EXPECT_EQ(ogg.FDuration, 2);   // 2.5 s
  EXPECT_EQ(ogg.FVendor, kXiphVendor);
}

TEST(OGGFile, NamesAreUpperCasedTheLaterCommentWinsAndUnknownNamesAreKept) {
  TOGGFile ogg;
  ASSERT_TRUE(ogg.ReadHeader(OggFixture("comment_cases.ogg")));
  EXPECT_EQ(ogg.FTitle, "Other");  // title=Song, then Title=Other
  EXPECT_EQ(ogg.FComment, "a=b");
  EXPECT_EQ(ogg.FTrack, "7");
  // Blank lyrics are lyrics: trimmed to nothing, but found.
  EXPECT_TRUE(ogg.FHasLyrics);
  EXPECT_EQ(ogg.FLyrics, "");
  EXPECT_EQ(Frames(ogg), (std::vector<std::pair<std::string, std::string>>{{"ENCODER", "one"}, {"ENCODER", "two"}}));
}

// mutagen wrote the cover as a METADATA_BLOCK_PICTURE comment: the picture
// is the front cover's body for the picture tool, and the comment stays an
// item of its own.
TEST(OGGFile, CoverFromAPictureComment) {
  TOGGFile ogg;
  ASSERT_TRUE(ogg.ReadHeader(test::Fixture("modern/cover.ogg")));
  EXPECT_EQ(ogg.FTitle, "Ogg Cover");
  ASSERT_TRUE(ogg.FHasPicture);
  std::string png = test::ReadAll(test::Fixture("mpeg/cover.png"));
  EXPECT_EQ(ogg.FPicture, std::string("\x03image/png", 10) + '\0' + "\x03" + "front" + '\0' + png);
  ASSERT_EQ(ogg.FFrames.Count(), 1u);
  EXPECT_EQ(ogg.FFrames[0].FName, "METADATA_BLOCK_PICTURE");

  // A picture comment that is no base64, or no picture block, gives no picture.
  TVorbisComments comments;
  for (const char* entry : {"METADATA_BLOCK_PICTURE=not base64!", "metadata_block_picture=AAAAAwAAAAlpbWFnZS9wbmc=",
                            "METADATA_BLOCK_PICTURE="}) {
    comments.ClearComments();
    comments.FileComment(entry);
    EXPECT_FALSE(comments.FHasPicture) << entry;
    EXPECT_EQ(comments.FFrames.Count(), 1u);
  }
}

TEST(OGGFile, EmptyLyricsAreNoLyrics) {
  TOGGFile ogg;
  ASSERT_TRUE(ogg.ReadHeader(OggFixture("lyrics_empty.ogg")));
  EXPECT_EQ(ogg.FTitle, "Empty Lyrics");
  EXPECT_FALSE(ogg.FHasLyrics);
  EXPECT_EQ(ogg.FLyrics, "");
  EXPECT_EQ(ogg.FFrames.Count(), 0u);
}

TEST(OGGFile, StreamValuesByFixture) {
  struct Case {
    const char* file;
    const char* channels;
    int32_t rate;
    int32_t bitrate;
    int32_t duration;
    const char* title;
  } cases[] = {
      {"mono.ogg", "Mono", 8000, 8, 1, "Mono Title"},
      {"six_channels.ogg", "6", 22050, 96, 1, "Six Channels"},
      {"utf8_title.ogg", "Mono", 8000, 8, 1, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF0\xA0\x80\x80"},
      {"chained.ogg", "Mono", 8000, 8, 1, "First Stream"},
      {"multiplexed.ogg", "Mono", 8000, 14, 1, "Multiplexed One"},
      {"small_pages.ogg", "Stereo", 22050, 37, 2, "Small Pages"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TOGGFile ogg;
    ASSERT_TRUE(ogg.ReadHeader(OggFixture(c.file)));
    EXPECT_EQ(ogg.FChannelMode, c.channels);
    EXPECT_EQ(ogg.FSampleRate, c.rate);
    EXPECT_EQ(ogg.FBitRate, c.bitrate);
    EXPECT_EQ(ogg.FDuration, c.duration);
    EXPECT_EQ(ogg.FTitle, c.title);
  }
}

TEST(OGGFile, NoCommentsAndEmptyVendor) {
  TOGGFile ogg;
  ASSERT_TRUE(ogg.ReadHeader(OggFixture("no_comments.ogg")));
  EXPECT_TRUE(ogg.FValid);
  ExpectNoComments(ogg);
  EXPECT_EQ(ogg.FVendor, kXiphVendor);

  ASSERT_TRUE(ogg.ReadHeader(OggFixture("empty_vendor.ogg")));
  EXPECT_EQ(ogg.FVendor, "");
  EXPECT_EQ(ogg.FTitle, "No Vendor");
}

TEST(OGGFile, AFileThatCannotBeReadLeavesEverythingCleared) {
  test::TempDir dir;
  TOGGFile ogg;
  for (const std::string& path : {dir.Write("x.ogg", std::string(6000, 'x')), dir.File("missing.ogg"),
                                  dir.Write("cut.ogg", test::ReadAll(OggFixture("mono.ogg")).substr(0, 1000))}) {
    ASSERT_TRUE(ogg.ReadHeader(OggFixture("tagged_stereo.ogg")));
    EXPECT_FALSE(ogg.ReadHeader(path));
    EXPECT_FALSE(ogg.FValid);
    ExpectNoComments(ogg);
  }
}

TEST(OGGFile, LongLyricsOverSeveralPages) {
  TOGGFile ogg;
  ASSERT_TRUE(ogg.ReadHeader(OggFixture("long_lyrics.ogg")));
  EXPECT_TRUE(ogg.FHasLyrics);
  EXPECT_EQ(ogg.FLyrics.size(), 339u + 340u * 57u);
  EXPECT_TRUE(ogg.FLyrics.ends_with("Line 0339 of the long lyrics, la la la la la la la la la."));
}

}  // namespace
