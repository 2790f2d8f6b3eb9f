// Files as today's encoders and taggers write them (tests/fixtures/modern),
// through the audio file object: what the tracklist and the report get.

#include <gtest/gtest.h>

#include <clocale>

#include "audiofile/audio_file.h"
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

}  // namespace
