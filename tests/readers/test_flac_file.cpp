#include <gtest/gtest.h>

#include <vector>

#include "readers/flac_file.h"
#include "support/test_support.h"

namespace {

// "fLaC", a STREAMINFO block header and the first 18 bytes of STREAMINFO.
std::string StreamStart(uint32_t rate, uint8_t channels, uint8_t bits, uint64_t samples,
                        const std::string& signature = "fLaC") {
  std::string b = signature + test::Bytes({0x80, 0, 0, 34}) + test::Fill(10);
  b += static_cast<char>(rate >> 12);
  b += static_cast<char>(rate >> 4);
  b += static_cast<char>(((rate & 0xF) << 4) | ((channels - 1) << 1) | ((bits - 1) >> 4));
  b += static_cast<char>((((bits - 1) & 0xF) << 4) | ((samples >> 32) & 0xF));
  b += test::BE32(static_cast<uint32_t>(samples));
  return b;
}

// "fLaC", a whole STREAMINFO block (not the last one) and further blocks.
std::string WithBlocks(const std::string& blocks) {
  std::string head = StreamStart(44100, 2, 16, 44100);
  head[4] = 0;  // STREAMINFO is not the last block
  return head + test::Fill(16) + blocks;
}

// A metadata block header: last flag, type, 24-bit length.
std::string Block(uint8_t type, const std::string& body, bool last = false) {
  uint32_t size = static_cast<uint32_t>(body.size());
  return test::Bytes({(last ? 0x80 : 0) | type, static_cast<int>(size >> 16), static_cast<int>((size >> 8) & 0xFF),
                      static_cast<int>(size & 0xFF)}) +
         body;
}

// A Vorbis comment block body: vendor, then the entries.
std::string Comments(const std::string& vendor, const std::vector<std::string>& entries) {
  std::string b = test::LE32(static_cast<uint32_t>(vendor.size())) + vendor +
                  test::LE32(static_cast<uint32_t>(entries.size()));
  for (const std::string& e : entries) b += test::LE32(static_cast<uint32_t>(e.size())) + e;
  return b;
}

TEST(FLACfile, ReadsTheFilesFlacMade) {
  struct Case {
    const char* name;
    int rate, channels, bits;
    uint64_t samples;
    bool id3v2, id3v1;
  } cases[] = {
      // As metaflac reported them when the files were made.
      {"stereo.flac", 44100, 2, 16, 44100, false, false},
      {"six.flac", 8000, 6, 16, 8000, false, false},
      {"id3.flac", 44100, 2, 16, 44100, true, true},
  };
  TFLACfile flac;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = test::Fixture(std::string("apeflac/") + c.name);
    ASSERT_TRUE(flac.ReadHeader(path));
    ASSERT_TRUE(flac.IsValid());
    EXPECT_EQ(flac.SampleRate, c.rate);
    EXPECT_EQ(flac.Channels, c.channels);
    EXPECT_EQ(flac.BitsPerSample, c.bits);
    EXPECT_EQ(flac.TotalSamples, c.samples);
    EXPECT_DOUBLE_EQ(flac.Duration(), 1.0);
    double size = static_cast<double>(test::ReadAll(path).size());
    EXPECT_EQ(flac.FileSize, static_cast<int64_t>(size));
    EXPECT_DOUBLE_EQ(flac.Ratio(), size / (c.channels * c.samples * c.bits / 8.0) * 100);
    EXPECT_EQ(flac.ID3v2Size > 0, c.id3v2);
    EXPECT_EQ(flac.HasID3v1, c.id3v1);
  }
}

TEST(FLACfile, KnowsTheSignatureNotItsByteSum) {
  test::TempDir dir;
  TFLACfile flac;
  // "CaLf" and "fLaC" add up to the same 342.
  ASSERT_TRUE(flac.ReadHeader(dir.Write("sum.flac", StreamStart(44100, 2, 16, 44100, "CaLf"))));
  EXPECT_FALSE(flac.IsValid());
  EXPECT_EQ(flac.SampleRate, 0);
  EXPECT_EQ(flac.Duration(), 0);
  EXPECT_EQ(flac.Ratio(), 0);
  ASSERT_TRUE(flac.ReadHeader(dir.Write("real.flac", StreamStart(44100, 2, 16, 44100))));
  EXPECT_TRUE(flac.IsValid());
}

TEST(FLACfile, FieldEdges) {
  test::TempDir dir;
  TFLACfile flac;
  // The widest values each field holds.
  ASSERT_TRUE(flac.ReadHeader(dir.Write("max.flac", StreamStart(655350, 8, 32, 1))));
  EXPECT_EQ(flac.SampleRate, 655350);
  EXPECT_EQ(flac.Channels, 8);
  EXPECT_EQ(flac.BitsPerSample, 32);
  // All 36 bits of the sample count: 2^35 + 5 samples, about 216 hours at 44.1 kHz.
  uint64_t samples = (1ULL << 35) + 5;
  ASSERT_TRUE(flac.ReadHeader(dir.Write("long.flac", StreamStart(44100, 2, 16, samples))));
  EXPECT_EQ(flac.TotalSamples, samples);
  EXPECT_DOUBLE_EQ(flac.Duration(), static_cast<double>(samples) / 44100);
  EXPECT_GT(flac.Ratio(), 0);
  // A sample count the encoder did not state: not valid.
  ASSERT_TRUE(flac.ReadHeader(dir.Write("nolength.flac", StreamStart(44100, 2, 16, 0))));
  EXPECT_FALSE(flac.IsValid());
  EXPECT_EQ(flac.Duration(), 0);
  ASSERT_TRUE(flac.ReadHeader(dir.Write("norate.flac", StreamStart(0, 2, 16, 10))));
  EXPECT_FALSE(flac.IsValid());
}

// Every start of a real file: false until the 26 bytes are there, the full
// values from then on.
TEST(FLACfile, FilesCutInsideTheHeader) {
  test::TempDir dir;
  std::string whole = test::ReadAll(test::Fixture("apeflac/stereo.flac"));
  TFLACfile flac;
  for (size_t len = 0; len <= 40; ++len) {
    bool read = flac.ReadHeader(dir.Write("cut.flac", whole.substr(0, len)));
    EXPECT_EQ(read, len >= 26) << len;
    EXPECT_EQ(flac.IsValid(), len >= 26) << len;
  }
  EXPECT_FALSE(flac.ReadHeader(dir.File("missing.flac")));
}

// metaflac wrote the comments, a back cover (JPEG) and then the front cover
// (PNG): the front cover is the one shown.
TEST(FLACfile, CommentsAndPictureMetaflacWrote) {
  TFLACfile flac;
  ASSERT_TRUE(flac.ReadHeader(test::Fixture("modern/comments.flac")));
  ASSERT_TRUE(flac.IsValid());
  EXPECT_EQ(flac.Vendor, "reference libFLAC 1.4.2 20221022");
  const TVorbisComments& c = flac.Comments;
  EXPECT_TRUE(c.FHasTags);
  EXPECT_EQ(c.FTitle, "Flac T\xC3\xAFtle");
  EXPECT_EQ(c.FArtist, "Flac Artist");
  EXPECT_EQ(c.FAlbum, "Flac Album");
  EXPECT_EQ(c.FYear, "2019");
  EXPECT_EQ(c.FTrack, "3/12");
  EXPECT_EQ(c.FGenre, "Ambient");
  EXPECT_EQ(c.FComment, "From metaflac");
  EXPECT_EQ(c.FComposer, "Flac Composer");
  EXPECT_EQ(c.FBPM, "96");
  EXPECT_TRUE(c.FHasLyrics);
  EXPECT_EQ(c.FLyrics, "First line\nSecond line");
  ASSERT_EQ(c.FFrames.Count(), 1u);
  EXPECT_EQ(c.FFrames[0].FName, "REPLAYGAIN_TRACK_GAIN");
  ASSERT_TRUE(c.FHasPicture);
  std::string png = test::ReadAll(test::Fixture("mpeg/cover.png"));
  EXPECT_EQ(c.FPicture, std::string("\x03image/png", 10) + '\0' + "\x03" + "front" + '\0' + png);

  ASSERT_TRUE(flac.ReadHeader(test::Fixture("modern/nopicture.flac")));
  EXPECT_EQ(flac.Comments.FTitle, "Plain Comments");
  EXPECT_FALSE(flac.Comments.FHasPicture);
  // A file that flac made without tags has a comment block with the vendor alone.
  ASSERT_TRUE(flac.ReadHeader(test::Fixture("apeflac/stereo.flac")));
  EXPECT_FALSE(flac.Comments.FHasTags);
  EXPECT_EQ(flac.Vendor.substr(0, 17), "reference libFLAC");
}

TEST(FLACfile, MetadataBlocksFromBytes) {
  test::TempDir dir;
  TFLACfile flac;
  std::string picture = test::FlacPicture(3, "image/png", "", "PNG");
  std::string comments = Comments("vendor", {"TITLE=Song", "artist=Someone"});
  struct Case {
    const char* name;
    std::string blocks;
    const char* title;
    bool picture;
  } cases[] = {
      {"comments, then picture", Block(4, comments) + Block(6, picture, true), "Song", true},
      {"picture before the comments", Block(1, test::Fill(10)) + Block(6, picture) + Block(4, comments, true), "Song",
       true},
      {"only the first comment block counts", Block(4, comments) + Block(4, Comments("v", {"TITLE=Other"}), true),
       "Song", false},
      {"blocks after the last one are not read", Block(6, picture, true) + Block(4, comments), "", true},
      {"a block longer than the file", Block(6, picture) + test::Bytes({4, 0xFF, 0xFF, 0xFF}) + comments, "", true},
      {"cut inside a block header", Block(4, comments) + test::Bytes({6, 0}), "Song", false},
      {"an entry longer than its block", Block(4, comments.substr(0, comments.size() - 3), true), "Song", false},
      {"a vendor longer than its block", Block(4, test::LE32(1000) + "v", true), "", false},
      {"an entry count beyond the entries",
       Block(4, test::LE32(1) + "v" + test::LE32(1000000) + test::LE32(10) + "TITLE=Song" + test::Fill(3), true),
       "Song", false},
      {"a cut picture", Block(6, picture.substr(0, 20), true), "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(flac.ReadHeader(dir.Write("b.flac", WithBlocks(c.blocks))));
    EXPECT_TRUE(flac.IsValid());
    EXPECT_EQ(flac.Comments.FTitle, c.title);
    EXPECT_EQ(flac.Comments.FHasPicture, c.picture);
    EXPECT_EQ(flac.Comments.FHasTags, *c.title != 0 || c.picture);
  }
  // Entries that are not UTF-8 have their bad bytes replaced.
  ASSERT_TRUE(flac.ReadHeader(dir.Write("u.flac", WithBlocks(Block(4, Comments("v", {"TITLE=A\xE9"}), true)))));
  EXPECT_EQ(flac.Comments.FTitle, "A\xEF\xBF\xBD");
  EXPECT_EQ(flac.Comments.FArtist, "");
}

}  // namespace
