#include <gtest/gtest.h>

#include "readers/monkey.h"
#include "support/test_support.h"

namespace {

struct TOldHeader {
  uint16_t version = 3970;
  uint16_t level = 3000;
  uint16_t flags = 0;
  uint16_t channels = 2;
  int32_t rate = 44100;
  int32_t frames = 1;
  int32_t final_samples = 44100;
  uint32_t peak = 0x1234;
  uint32_t seek = 0x5678;
};

// The 40-byte header of encoders before 3.98.
std::string OldHeader(const TOldHeader& h) {
  return "MAC " + test::LE16(h.version) + test::LE16(h.level) + test::LE16(h.flags) + test::LE16(h.channels) +
         test::LE32(static_cast<uint32_t>(h.rate)) + test::LE32(44) + test::LE32(0) +
         test::LE32(static_cast<uint32_t>(h.frames)) + test::LE32(static_cast<uint32_t>(h.final_samples)) +
         test::LE32(h.peak) + test::LE32(h.seek);
}

struct TNewHeader {
  uint16_t version = 3990;
  uint32_t descriptor_bytes = 52;
  uint16_t level = 2000;
  uint16_t flags = 0;
  uint32_t blocks_per_frame = 73728;
  uint32_t final_samples = 1000;
  uint32_t frames = 3;
  uint16_t bits = 24;
  uint16_t channels = 2;
  uint32_t rate = 48000;
};

// A 52-byte descriptor and the 24-byte header after it (3.98 and later).
std::string NewHeader(const TNewHeader& h) {
  std::string descriptor = "MAC " + test::LE16(h.version) + test::LE16(0) + test::LE32(h.descriptor_bytes) +
                           test::LE32(24) + test::Fill(36);
  std::string header = test::LE16(h.level) + test::LE16(h.flags) + test::LE32(h.blocks_per_frame) +
                       test::LE32(h.final_samples) + test::LE32(h.frames) + test::LE16(h.bits) +
                       test::LE16(h.channels) + test::LE32(h.rate);
  return descriptor + header;
}

TEST(MonkeyFile, OldLayout) {
  test::TempDir dir;
  TMonkeyFile ape;
  // 5501 bytes over a WAV file of 2489 stereo 16-bit samples (9956 + 44 bytes): 55.01 %.
  std::string header = OldHeader({.frames = 1, .final_samples = 2489});
  ASSERT_TRUE(ape.ReadHeader(dir.Write("a.ape", header + test::Fill(5501 - header.size()))));
  ASSERT_TRUE(ape.IsValid());
  EXPECT_EQ(ape.BitsPerSample(), 16);
  EXPECT_EQ(ape.Samples(), 2489);
  EXPECT_DOUBLE_EQ(ape.Duration(), 2489.0 / 44100);
  EXPECT_DOUBLE_EQ(ape.Ratio(), 55.01);
  EXPECT_EQ(ape.VersionText(), "3.97");
  EXPECT_EQ(ape.CompressionName(), "High");
  EXPECT_EQ(ape.ChannelModeName(), "Stereo");
  // Peak level and seek elements count only when their flags say so.
  EXPECT_EQ(ape.PeakLevel, 0u);
  EXPECT_EQ(ape.SeekElements, 0u);
  ASSERT_TRUE(ape.ReadHeader(dir.Write("b.ape", OldHeader({.flags = 0x14}))));
  EXPECT_EQ(ape.PeakLevel, 0x1234u);
  EXPECT_EQ(ape.SeekElements, 0x5678u);
}

TEST(MonkeyFile, SamplesPerFrameAndBits) {
  test::TempDir dir;
  struct Case {
    uint16_t version, level, flags;
    uint32_t per_frame;
    int bits;
  } cases[] = {
      {3950, 2000, 0, 294912, 16}, {3979, 1000, 0, 294912, 16}, {3900, 1000, 0, 73728, 16},
      {3800, 4000, 0, 73728, 16},  {3800, 3000, 0, 9216, 16},   {3700, 4000, 0, 9216, 16},
      {3900, 3000, 0x1, 73728, 8},  {3900, 3000, 0x8, 73728, 24}, {3900, 3000, 0x9, 73728, 24},
  };
  TMonkeyFile ape;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    SCOPED_TRACE(c.level);
    ASSERT_TRUE(ape.ReadHeader(dir.Write("f.ape", OldHeader({.version = c.version, .level = c.level, .flags = c.flags,
                                                             .frames = 3, .final_samples = 10}))));
    EXPECT_EQ(ape.BlocksPerFrame(), c.per_frame);
    EXPECT_EQ(ape.BitsPerSample(), c.bits);  // the 24-bit flag wins over the 8-bit one
    EXPECT_EQ(ape.Samples(), static_cast<int64_t>(c.per_frame) * 2 + 10);
  }
}

TEST(MonkeyFile, Names) {
  test::TempDir dir;
  TMonkeyFile ape;
  struct Case {
    uint16_t level;
    const char* name;
  } levels[] = {{1000, "Fast"}, {2000, "Normal"}, {2500, "Normal"}, {3000, "High"},
                {4000, "Extra High"}, {5000, "Unknown"}, {0, "Unknown"}};
  for (const Case& c : levels) {
    ASSERT_TRUE(ape.ReadHeader(dir.Write("n.ape", OldHeader({.level = c.level}))));
    EXPECT_EQ(ape.CompressionName(), c.name) << c.level;
  }
  struct Channels {
    uint16_t count;
    const char* name;
  } channels[] = {{0, "Unknown"}, {1, "Mono"}, {2, "Stereo"}, {6, "6"}};
  for (const Channels& c : channels) {
    ASSERT_TRUE(ape.ReadHeader(dir.Write("c.ape", OldHeader({.channels = c.count}))));
    EXPECT_EQ(ape.ChannelModeName(), c.name);
    EXPECT_EQ(ape.IsValid(), c.count > 0);
  }
  ASSERT_TRUE(ape.ReadHeader(dir.Write("v.ape", OldHeader({.version = 3970}))));
  EXPECT_EQ(ape.VersionText(TNumberFormat{",", ""}), "3,97");
  ASSERT_TRUE(ape.ReadHeader(dir.Write("z.ape", OldHeader({.version = 0}))));
  EXPECT_EQ(ape.VersionText(), "");
}

TEST(MonkeyFile, DescriptorLayoutOfCurrentEncoders) {
  test::TempDir dir;
  TMonkeyFile ape;
  std::string bytes = NewHeader({});
  ASSERT_TRUE(ape.ReadHeader(dir.Write("new.ape", bytes + test::Fill(1000))));
  ASSERT_TRUE(ape.IsValid());
  EXPECT_EQ(ape.Version, 3990);
  EXPECT_EQ(ape.CompressionName(), "Normal");
  EXPECT_EQ(ape.BitsPerSample(), 24);
  EXPECT_EQ(ape.BlocksPerFrame(), 73728u);
  EXPECT_EQ(ape.Samples(), 73728 * 2 + 1000);
  EXPECT_DOUBLE_EQ(ape.Duration(), (73728.0 * 2 + 1000) / 48000);
  EXPECT_DOUBLE_EQ(ape.Ratio(), (bytes.size() + 1000.0) / ((73728.0 * 2 + 1000) * 2 * 3 + 44) * 100);
  EXPECT_EQ(ape.VersionText(), "3.99");

  // A descriptor that is longer than 52 bytes moves the header.
  std::string longer = NewHeader({.descriptor_bytes = 60});
  longer.insert(52, test::Fill(8, 0xEE));
  ASSERT_TRUE(ape.ReadHeader(dir.Write("long.ape", longer)));
  EXPECT_TRUE(ape.IsValid());
  EXPECT_EQ(ape.SampleRate, 48000);
}

TEST(MonkeyFile, DamagedAndCutHeaders) {
  test::TempDir dir;
  TMonkeyFile ape;
  std::string old_header = OldHeader({});
  std::string new_header = NewHeader({});
  EXPECT_FALSE(ape.ReadHeader(dir.Write("short.ape", old_header.substr(0, 39))));
  EXPECT_EQ(ape.Version, 0);
  EXPECT_FALSE(ape.ReadHeader(dir.Write("cut.ape", new_header.substr(0, 70))));
  EXPECT_FALSE(ape.IsValid());
  EXPECT_FALSE(ape.ReadHeader(dir.Write("far.ape", NewHeader({.descriptor_bytes = 0xFFFFFFF0}))));
  EXPECT_FALSE(ape.ReadHeader(dir.File("missing.ape")));
  // A descriptor too short to hold its own fields gives no values.
  EXPECT_TRUE(ape.ReadHeader(dir.Write("tiny.ape", NewHeader({.descriptor_bytes = 8}))));
  EXPECT_FALSE(ape.IsValid());
  EXPECT_TRUE(ape.ReadHeader(dir.Write("noid.ape", "MAX " + old_header.substr(4))));
  EXPECT_FALSE(ape.IsValid());
  EXPECT_EQ(ape.Duration(), 0);
  EXPECT_TRUE(ape.ReadHeader(dir.Write("norate.ape", OldHeader({.rate = -5}))));
  EXPECT_FALSE(ape.IsValid());
}

TEST(MonkeyFile, NoFramesGivesNoSamplesNotNegative) {
  test::TempDir dir;
  TMonkeyFile ape;
  for (int32_t frames : {0, -3}) {
    ASSERT_TRUE(ape.ReadHeader(dir.Write("0.ape", OldHeader({.frames = frames, .final_samples = 0}))));
    ASSERT_TRUE(ape.IsValid());
    EXPECT_EQ(ape.Samples(), 0);
    EXPECT_EQ(ape.Duration(), 0);
    EXPECT_GT(ape.Ratio(), 0);
  }
}

// 100000 frames of 294912 samples: far beyond 2^31 samples (about 185 hours).
TEST(MonkeyFile, LongFilesDoNotWrap) {
  test::TempDir dir;
  TMonkeyFile ape;
  ASSERT_TRUE(ape.ReadHeader(dir.Write("long.ape", OldHeader({.version = 3979, .frames = 100000, .final_samples = 0}))));
  EXPECT_EQ(ape.Samples(), 294912LL * 99999);
  EXPECT_DOUBLE_EQ(ape.Duration(), 294912.0 * 99999 / 44100);
  EXPECT_GT(ape.Ratio(), 0);
  EXPECT_LT(ape.Ratio(), 1e-6);
}

TEST(MonkeyFile, ReadsAfterAnID3v2Tag) {
  test::TempDir dir;
  TMonkeyFile ape;
  std::string id3v2 = "ID3" + test::Bytes({3, 0, 0, 0, 0, 0, 20}) + test::Fill(20);
  ASSERT_TRUE(ape.ReadHeader(dir.Write("tagged.ape", id3v2 + OldHeader({}))));
  EXPECT_TRUE(ape.IsValid());
  EXPECT_EQ(ape.ID3v2Size, 30);
  // A tag size beyond the file is no tag: the header is looked for at 0.
  std::string huge = "ID3" + test::Bytes({3, 0, 0, 0, 0x7F, 0, 0}) + OldHeader({});
  ASSERT_TRUE(ape.ReadHeader(dir.Write("huge.ape", huge)));
  EXPECT_FALSE(ape.IsValid());
}

}  // namespace
