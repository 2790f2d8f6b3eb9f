// Files as today's encoders and taggers write them (tests/fixtures/modern),
// through the audio file object: what the tracklist and the report get.

#include <gtest/gtest.h>

#include <clocale>

#include "audiofile/audio_file.h"
#include "toolkit/program_info.h"
#include "support/test_support.h"

namespace {

class LoadModern : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }

  bool Load(const std::string& name, int preferred = 2) {
    audio.SetPreferredTag(preferred);
    audio.FileName = test::Fixture("modern/" + name);
    return audio.LoadFile();
  }

  TAudioFile audio;
};

// Musepack stream version 8 from mpcenc, with the APEv2 tag mpcenc wrote.
TEST_F(LoadModern, MusepackVersion8) {
  const TMpegTotal& s = audio.Stream;
  EXPECT_TRUE(Load("sv8.mpc"));
  EXPECT_EQ(audio.FileType, atMPC);
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.Encoder, "SV8");
  EXPECT_EQ(s.ChannelMode, "Joint Stereo");
  EXPECT_EQ(s.SampleRate, 44100u);
  EXPECT_EQ(s.Duration, 1u);
  EXPECT_EQ(s.BitRate, 47u);  // 5871 bytes of audio packets in one second
  const TTagFull& t = audio.Tags;
  EXPECT_TRUE(t.HasTagV1);
  EXPECT_EQ(t.Title, "SV8 Title");
  EXPECT_EQ(t.Artist, "SV8 Artist");
  EXPECT_EQ(t.Album, "SV8 Album");
  EXPECT_EQ(t.TrackNumber, 5);
  EXPECT_EQ(t.Year, "2020");
  EXPECT_EQ(t.TagVersion, "2000");

  EXPECT_TRUE(Load("sv8_mono.mpc"));
  EXPECT_EQ(s.Encoder, "SV8");
  EXPECT_EQ(s.ChannelMode, "Mono");
  EXPECT_EQ(s.SampleRate, 48000u);
  EXPECT_EQ(s.Duration, 1u);
  EXPECT_EQ(s.BitRate, 39u);
  EXPECT_FALSE(audio.Tags.HasTagV1);
}

// The body the picture tool reads for the front cover of the fixtures.
std::string FrontCoverBody() {
  return std::string("\x03image/png", 10) + '\0' + "\x03" + "front" + '\0' + test::ReadAll(test::Fixture("mpeg/cover.png"));
}

// A FLAC file without ID3 tags shows its Vorbis comments and front cover,
// under either ID3 preference, flagged as the file's own tag like an Ogg
// file's comments.
TEST_F(LoadModern, FlacCommentsAndPictureWhenNoId3Tag) {
  const TTagFull& t = audio.Tags;
  for (int preferred : {1, 2}) {
    SCOPED_TRACE(preferred);
    EXPECT_TRUE(Load("comments.flac", preferred));
    EXPECT_EQ(audio.FileType, atFLAC);
    EXPECT_TRUE(audio.Stream.Valid);
    EXPECT_EQ(t.Title, "Flac T\xC3\xAFtle");
    EXPECT_EQ(t.Artist, "Flac Artist");
    EXPECT_EQ(t.Album, "Flac Album");
    EXPECT_EQ(t.Year, "2019");
    EXPECT_EQ(t.TrackText, "3/12");
    EXPECT_EQ(t.TrackNumber, 3);
    EXPECT_EQ(t.Genre, "Ambient");
    EXPECT_EQ(t.Comment, "From metaflac");
    EXPECT_EQ(t.Composer, "Flac Composer");
    EXPECT_EQ(t.BPM, 96);
    EXPECT_TRUE(t.HasLyrics);
    EXPECT_EQ(t.Lyrics, "First line\nSecond line");
    EXPECT_TRUE(t.HasPicture);
    EXPECT_EQ(t.PictureData, FrontCoverBody());
    EXPECT_TRUE(t.HasTagV1);
    EXPECT_FALSE(t.HasTagV2);
    EXPECT_EQ(t.TagVersion, "reference libFLAC 1.4.2 20221022");
    EXPECT_TRUE(audio.HasPreferredTag());
    EXPECT_EQ(audio.GetReportName(audio.FileName), "2019 Flac Album");
  }
  // An ID3 tag, when the preferred one is there, still comes first.
  EXPECT_TRUE(Load("../apeflac/id3.flac", 2));
  EXPECT_EQ(t.Title, "FLAC Title");
  EXPECT_EQ(t.TagVersion.substr(0, 2), "2.");
  // A FLAC file with neither shows no tag.
  EXPECT_TRUE(Load("../apeflac/stereo.flac", 2));
  EXPECT_FALSE(t.HasTagV1);
  EXPECT_FALSE(audio.HasPreferredTag());
  EXPECT_EQ(audio.GetReportName(audio.FileName), "Untitled");
}

// The cover of an Ogg file, from its METADATA_BLOCK_PICTURE comment, goes
// the way of every embedded picture: into the picture file.
TEST_F(LoadModern, OggCoverFromAPictureComment) {
  EXPECT_TRUE(Load("cover.ogg"));
  EXPECT_EQ(audio.Tags.Title, "Ogg Cover");
  EXPECT_TRUE(audio.Tags.HasPicture);
  EXPECT_EQ(audio.Tags.PictureData, FrontCoverBody());
  // The picture file lands in the program folder, here a temporary one.
  test::TempDir dir;
  SetProgramPath(dir.File("velloran"));
  EXPECT_EQ(audio.ExtractPicture(), dir.File("tmp_image.png"));
  SetProgramPath("");
  EXPECT_EQ(test::ReadAll(dir.File("tmp_image.png")), test::ReadAll(test::Fixture("mpeg/cover.png")));
}

// An Ogg file whose first stream is Theora video shows its Vorbis sound.
TEST_F(LoadModern, OggVideoWithVorbisSound) {
  EXPECT_TRUE(Load("theora.ogg"));
  EXPECT_EQ(audio.FileType, atOGG);
  EXPECT_TRUE(audio.Stream.Valid);
  EXPECT_EQ(audio.Stream.ChannelMode, "Stereo");
  EXPECT_EQ(audio.Stream.SampleRate, 22050u);
  EXPECT_EQ(audio.Stream.Duration, 1u);
  EXPECT_EQ(audio.Tags.Title, "Theora Sound");
  EXPECT_EQ(audio.Tags.Artist, "Video Artist");
  EXPECT_TRUE(audio.Tags.HasTagV1);
}

}  // namespace
