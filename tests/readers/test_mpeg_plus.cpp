#include <gtest/gtest.h>

#include "readers/mpeg_plus.h"
#include "support/test_support.h"

namespace {

// "MP+" 07, the frame count, then b8..b11.
std::string SV7(uint32_t frames, uint8_t b10, uint8_t b11 = 0) {
  return "MP+\x07" + test::LE32(frames) + test::Bytes({0, 0, b10, b11});
}

std::string ID3v1Block() { return "TAG" + test::Fill(125); }

TEST(MPEGplus, StreamVersion7At44100) {
  test::TempDir dir;
  TMPEGplus mpc;
  // 5 000 128 bytes with an ID3v1 tag: 5 000 000 bytes of audio in 10 000 frames.
  std::string header = SV7(10000, 0xA0, 0x40);
  std::string bytes = header + test::Fill(5000000 - header.size()) + ID3v1Block();
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("a.mpc", bytes)));
  ASSERT_TRUE(mpc.Valid);
  EXPECT_EQ(mpc.StreamVersion, 7);
  EXPECT_EQ(mpc.Profile(), "Standard");
  EXPECT_EQ(mpc.ChannelMode(), "Joint Stereo");
  EXPECT_EQ(mpc.SampleRate, 44100u);
  EXPECT_EQ(mpc.BitRate(), 153);  // 5 000 000 x 8 x 44.1 / 10 000 / 1152 = 153.125
  EXPECT_NEAR(mpc.Duration(), 261.2245, 1e-4);
  EXPECT_EQ(mpc.FileLength, 5000128);
}

// The profile is the high nibble of b10, the sample rate its low two bits.
TEST(MPEGplus, ProfileAndSampleRateOfVersion7) {
  test::TempDir dir;
  struct Case {
    uint8_t b10;
    const char* profile;
    uint32_t rate;
  } cases[] = {
      {0x80, "Thumb", 44100},  {0x90, "Radio", 44100},    {0xA0, "Standard", 44100}, {0xB0, "Xtreme", 44100},
      {0xC0, "Insane", 44100}, {0x70, "Unknown", 44100},  {0xD0, "Unknown", 44100},  {0x81, "Thumb", 48000},
      {0xA1, "Standard", 48000}, {0xB2, "Xtreme", 37800}, {0xC3, "Insane", 32000},   {0xAC, "Standard", 44100},
  };
  TMPEGplus mpc;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.b10);
    ASSERT_TRUE(mpc.ReadHeader(dir.Write("p.mpc", SV7(4800, c.b10) + test::Fill(100000))));
    EXPECT_EQ(mpc.Profile(), c.profile);
    EXPECT_EQ(mpc.SampleRate, c.rate);
    EXPECT_DOUBLE_EQ(mpc.Duration(), 4800.0 * 1152 / c.rate);
    EXPECT_EQ(mpc.ChannelMode(), "Stereo");
  }
  // The bit rate estimate follows the rate: 100 012 bytes x 8 x 48 / 4800 / 1152.
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("48.mpc", SV7(4800, 0xA1) + test::Fill(100000))));
  EXPECT_EQ(mpc.BitRate(), 7);
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("48b.mpc", SV7(48, 0xA1) + test::Fill(1000000))));
  EXPECT_EQ(mpc.BitRate(), 6945);  // 1 000 012 x 8 x 48 / 48 / 1152 = 6944.53
}

TEST(MPEGplus, StreamVersions4To6) {
  test::TempDir dir;
  TMPEGplus mpc;
  // Version 4: b1 = 06; the bit rate is the top 9 bits of W0, the frame
  // count the upper 16 bits of W1.
  std::string sv4 = test::LE32((192u << 23) | 0x0600) + test::LE32(900u << 16 | 0x1234) + test::Fill(4);
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("4.mpc", sv4)));
  EXPECT_TRUE(mpc.Valid);
  EXPECT_EQ(mpc.StreamVersion, 4);
  EXPECT_EQ(mpc.FrameCount, 900u);
  EXPECT_EQ(mpc.BitRate(), 192);
  EXPECT_EQ(mpc.ChannelMode(), "Stereo");
  EXPECT_EQ(mpc.Profile(), "Unknown");
  EXPECT_EQ(mpc.SampleRate, 44100u);

  std::string sv5 = test::LE32((128u << 23) | 0x010E00) + test::LE32(900) + test::Fill(4);
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("5.mpc", sv5)));
  EXPECT_EQ(mpc.StreamVersion, 5);
  EXPECT_EQ(mpc.FrameCount, 900u);
  EXPECT_EQ(mpc.BitRate(), 128);
  EXPECT_EQ(mpc.ChannelMode(), "Joint Stereo");  // b2 AND 7F is not 0

  // Version 6 states no bit rate: it is estimated from the audio size.
  std::string sv6 = test::LE32((128u << 23) | 0x1600) + test::LE32(100) + test::Fill(4);
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("6.mpc", sv6 + test::Fill(99988))));
  EXPECT_EQ(mpc.StreamVersion, 6);
  EXPECT_EQ(mpc.BitRate(), 306);  // 100 000 x 8 x 44.1 / 100 / 1152 = 306.25
  EXPECT_DOUBLE_EQ(mpc.Duration(), 100 * 1152 / 44100.0);
}

TEST(MPEGplus, NotMusepackAndShortFiles) {
  test::TempDir dir;
  TMPEGplus mpc;
  struct Case {
    const char* name;
    std::string bytes;
  } not_musepack[] = {
      {"later stream version", "MP+\x17" + test::Fill(8)},
      {"Musepack 8", "MPCK" + test::Fill(8)},
      {"zeros", test::Fill(12)},
  };
  for (const Case& c : not_musepack) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(mpc.ReadHeader(dir.Write("x.mpc", c.bytes)));
    EXPECT_FALSE(mpc.Valid);
    EXPECT_EQ(mpc.StreamVersion, 0);
    EXPECT_EQ(mpc.BitRate(), 0);
    EXPECT_EQ(mpc.Duration(), 0);
    EXPECT_EQ(mpc.ChannelMode(), "Unknown");
    EXPECT_EQ(mpc.Profile(), "Unknown");
  }
  EXPECT_FALSE(mpc.ReadHeader(dir.Write("11.mpc", SV7(10, 0xA0).substr(0, 11))));
  EXPECT_FALSE(mpc.ReadHeader(dir.File("missing.mpc")));
  // No frames: no estimate, no duration.
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("0.mpc", SV7(0, 0xA0) + test::Fill(1000))));
  EXPECT_TRUE(mpc.Valid);
  EXPECT_EQ(mpc.BitRate(), 0);
  EXPECT_EQ(mpc.Duration(), 0);
}

TEST(MPEGplus, ReadsAfterAnID3v2TagAndLeavesItOutOfTheAudio) {
  test::TempDir dir;
  TMPEGplus mpc;
  std::string id3v2 = "ID3" + test::Bytes({3, 0, 0, 0, 0, 0x1F, 0x76}) + test::Fill(4086);  // 4096 bytes
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("t.mpc", id3v2 + SV7(100, 0xA0) + test::Fill(99988))));
  EXPECT_TRUE(mpc.Valid);
  EXPECT_EQ(mpc.ID3v2Size, 4096);
  EXPECT_EQ(mpc.BitRate(), 306);  // the 100 000 bytes after the tag
}

}  // namespace
