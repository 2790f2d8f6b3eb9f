#include <gtest/gtest.h>

#include "readers/mpeg_plus.h"
#include "support/test_support.h"

namespace {

// "MP+" 07, the frame count, then b8..b11.
std::string SV7(uint32_t frames, uint8_t b10, uint8_t b11 = 0) {
  return "MP+\x07" + test::LE32(frames) + test::Bytes({0, 0, b10, b11});
}

std::string ID3v1Block() { return "TAG" + test::Fill(125); }

// A variable-length size: 7 bits a byte, most significant first, the top
// bit set on all bytes but the last.
std::string VarSize(uint64_t value) {
  std::string out(1, static_cast<char>(value & 0x7F));
  while ((value >>= 7) != 0) out.insert(out.begin(), static_cast<char>(0x80 | (value & 0x7F)));
  return out;
}

// A version 8 packet: key, size (counting key and size bytes), payload.
std::string Packet(const std::string& key, const std::string& payload) {
  size_t size = 2 + 1 + payload.size();
  while (VarSize(size).size() != size - 2 - payload.size()) ++size;
  return key + VarSize(size) + payload;
}

// A stream header packet: CRC, version 8, sample count, beginning silence,
// sample rate index and 31 bands, channels less one, mid/side, 4 frames.
std::string StreamHeader(uint64_t samples, uint64_t silence, int rate_index, int channels, bool mid_side,
                         int version = 8) {
  std::string payload = test::Fill(4) + static_cast<char>(version) + VarSize(samples) + VarSize(silence);
  payload += static_cast<char>(rate_index << 5 | 31);
  payload += static_cast<char>((channels - 1) << 4 | (mid_side ? 8 : 0) | 2);
  return Packet("SH", payload);
}

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

// Stream version 8: the stream header packet gives rate, channels and
// samples; the bit rate is the audio packets' bytes over the duration.
TEST(MPEGplus, StreamVersion8) {
  test::TempDir dir;
  TMPEGplus mpc;
  std::string audio = Packet("AP", test::Fill(99995)) + Packet("AP", test::Fill(49995));
  ASSERT_EQ(audio.size(), 150000u);
  std::string stream = StreamHeader(441000 + 576, 576, 0, 2, true) + Packet("RG", test::Fill(8)) +
                       Packet("EI", test::Bytes({0xA0, 1, 17, 3})) + Packet("SO", VarSize(100)) + audio +
                       Packet("ST", test::Fill(20)) + Packet("SE", "");
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("8.mpc", "MPCK" + stream + ID3v1Block())));
  EXPECT_TRUE(mpc.Valid);
  EXPECT_EQ(mpc.StreamVersion, 8);
  EXPECT_EQ(mpc.SampleRate, 44100u);
  EXPECT_EQ(mpc.Channels, 2);
  EXPECT_EQ(mpc.ChannelMode(), "Joint Stereo");
  EXPECT_DOUBLE_EQ(mpc.Duration(), 10.0);  // the beginning silence is not played
  EXPECT_EQ(mpc.AudioBytes, 150000);
  EXPECT_EQ(mpc.BitRate(), 120);  // 150 000 x 8 / 10 s

  struct Layout {
    int rate_index, channels;
    bool mid_side;
    uint32_t rate;
    const char* mode;
  } layouts[] = {
      {1, 1, false, 48000, "Mono"},   {2, 2, false, 37800, "Stereo"}, {3, 6, true, 32000, "6"},
      {4, 2, true, 0, "Joint Stereo"},  // a reserved rate: no duration, no bit rate
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.rate);
    std::string file = "MPCK" + StreamHeader(l.rate * 2, 0, l.rate_index, l.channels, l.mid_side) + audio;
    ASSERT_TRUE(mpc.ReadHeader(dir.Write("l.mpc", file)));
    EXPECT_EQ(mpc.SampleRate, l.rate);
    EXPECT_EQ(mpc.ChannelMode(), l.mode);
    EXPECT_EQ(mpc.Duration(), l.rate != 0 ? 2.0 : 0.0);
    EXPECT_EQ(mpc.BitRate(), l.rate != 0 ? 600 : 0);
  }

  // Behind an ID3v2 tag.
  std::string id3v2 = "ID3" + test::Bytes({3, 0, 0, 0, 0, 0, 10}) + test::Fill(10);
  ASSERT_TRUE(mpc.ReadHeader(dir.Write("t.mpc", id3v2 + "MPCK" + stream)));
  EXPECT_EQ(mpc.SampleRate, 44100u);
  EXPECT_EQ(mpc.AudioBytes, 150000);
}

// Every size is checked against the file: a packet that does not fit, or is
// no packet, ends the walk with what was read before it.
TEST(MPEGplus, StreamVersion8DamagedPackets) {
  test::TempDir dir;
  TMPEGplus mpc;
  std::string header = StreamHeader(44100, 0, 0, 2, false);
  std::string ap = Packet("AP", test::Fill(996));  // 1000 bytes
  struct Case {
    const char* name;
    std::string stream;
    uint32_t rate;
    int64_t audio;
  } cases[] = {
      {"packet larger than the file", header + ap + "AP" + VarSize(1000000) + test::Fill(50), 44100, 1000},
      {"size smaller than key and size", header + ap + "AP" + VarSize(2) + ap, 44100, 1000},
      {"zero size", header + "AP" + VarSize(0) + ap, 44100, 0},
      {"key of small letters", header + Packet("ap", test::Fill(10)) + ap, 44100, 0},
      {"size of nine bytes", header + "AP" + std::string(8, '\x80') + "\x01" + ap, 44100, 0},
      {"cut inside the size", header + "AP\x81", 44100, 0},
      {"stream header of version 7", StreamHeader(44100, 0, 0, 2, false, 7) + ap, 0, 1000},
      {"stream header cut short", Packet("SH", test::Fill(4) + "\x08\x82"), 0, 0},
      {"beginning silence longer than the samples", StreamHeader(100, 200, 0, 2, false) + ap, 44100, 1000},
      {"no stream header", ap + ap, 0, 2000},
      {"nothing after MPCK and eight bytes", test::Fill(8), 0, 0},
      {"end packet, then more audio", header + ap + Packet("SE", "") + ap, 44100, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(mpc.ReadHeader(dir.Write("d.mpc", "MPCK" + c.stream)));
    EXPECT_TRUE(mpc.Valid);
    EXPECT_EQ(mpc.StreamVersion, 8);
    EXPECT_EQ(mpc.SampleRate, c.rate);
    EXPECT_EQ(mpc.AudioBytes, c.audio);
    if (mpc.Samples == 0) {
      EXPECT_EQ(mpc.BitRate(), 0);
    }
  }
}

// What mpcenc made: one second of stereo at 44.1 kHz and of mono at 48 kHz,
// with the sample counts mpcdec decoded and the audio packet bytes the
// maker's own walk of the packets counted.
TEST(MPEGplus, ReadsTheFilesMpcencMade) {
  struct Case {
    const char* name;
    uint32_t rate;
    int channels;
    int64_t audio_bytes;
    uint16_t bit_rate;
  } cases[] = {{"sv8.mpc", 44100, 2, 5871, 47}, {"sv8_mono.mpc", 48000, 1, 4859, 39}};
  TMPEGplus mpc;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(mpc.ReadHeader(test::Fixture(std::string("modern/") + c.name)));
    EXPECT_TRUE(mpc.Valid);
    EXPECT_EQ(mpc.StreamVersion, 8);
    EXPECT_EQ(mpc.SampleRate, c.rate);
    EXPECT_EQ(mpc.Channels, c.channels);
    EXPECT_EQ(mpc.Samples, c.rate);
    EXPECT_DOUBLE_EQ(mpc.Duration(), 1.0);
    EXPECT_EQ(mpc.AudioBytes, c.audio_bytes);
    EXPECT_EQ(mpc.BitRate(), c.bit_rate);  // the bytes x 8 over one second, in kbit/s
  }
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
