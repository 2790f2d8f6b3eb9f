#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "readers/aac_file.h"
#include "support/test_support.h"

namespace {

// Writes bit fields most significant bit first.
class TBitWriter {
 public:
  TBitWriter& Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) bits_.push_back((value >> i) & 1);
    return *this;
  }
  std::string Bytes() const {
    std::string out((bits_.size() + 7) / 8, '\0');
    for (size_t i = 0; i < bits_.size(); ++i)
      if (bits_[i]) out[i / 8] = static_cast<char>(out[i / 8] | (0x80 >> (i % 8)));
    return out;
  }

 private:
  std::vector<bool> bits_;
};

// One ADTS frame of `length` bytes (header included), MPEG-4 by default.
std::string AdtsFrame(uint32_t length, uint32_t fullness = 0x7FF, uint32_t rate_index = 4, uint32_t channels = 2,
                      uint32_t id = 0) {
  TBitWriter w;
  w.Put(0xFFF, 12).Put(id, 1).Put(0, 2).Put(1, 1).Put(1, 2).Put(rate_index, 4).Put(0, 1).Put(channels, 3);
  w.Put(0, 4).Put(length, 13).Put(fullness, 11).Put(0, 2);
  std::string header = w.Bytes();
  return header + test::Fill(length > header.size() ? length - header.size() : 0);
}

std::string Frames(int count, uint32_t length) {
  std::string out;
  for (int i = 0; i < count; ++i) out += AdtsFrame(length);
  return out;
}

struct TAdif {
  bool copyright = false;
  bool variable = false;
  uint32_t bit_rate = 128000;
  uint32_t rate_index = 3;
  uint32_t front = 1, side = 0, back = 1, lfe = 1;
  // Is-pair bits of the front, side and back elements in that order; an
  // element not listed is a single channel element.
  std::vector<int> pairs = {};
  bool mixdowns = false;  // the mono, stereo and matrix mixdown fields present
};

std::string Adif(const TAdif& a) {
  TBitWriter w;
  w.Put('A', 8).Put('D', 8).Put('I', 8).Put('F', 8);
  w.Put(a.copyright ? 1 : 0, 1);
  if (a.copyright) w.Put(0xFFFFFF, 24).Put(0xFFFFFF, 24).Put(0xFFFFFF, 24);
  w.Put(0, 1).Put(0, 1);  // original/copy, home
  w.Put(a.variable ? 1 : 0, 1).Put(a.bit_rate, 23).Put(0, 4);
  if (!a.variable) w.Put(0xFFFFF, 20);  // buffer fullness
  w.Put(0, 4).Put(1, 2).Put(a.rate_index, 4);
  w.Put(a.front, 4).Put(a.side, 4).Put(a.back, 4).Put(a.lfe, 2);
  w.Put(0, 3).Put(0, 4);  // associated data and coupling element counts
  if (a.mixdowns)
    w.Put(1, 1).Put(0xF, 4).Put(1, 1).Put(0xF, 4).Put(1, 1).Put(0x7, 3);
  else
    w.Put(0, 3);
  for (uint32_t i = 0; i < a.front + a.side + a.back; ++i) w.Put(i < a.pairs.size() ? a.pairs[i] : 0, 1).Put(i, 4);
  for (uint32_t i = 0; i < a.lfe; ++i) w.Put(0xF, 4);
  return w.Bytes() + test::Fill(100);
}

// ffmpeg writes MPEG-4 ADTS with the variable-rate buffer fullness. Bit
// rates and durations as ffprobe reported them when the files were made.
TEST(AACfile, ReadsTheFilesFfmpegMade) {
  struct Case {
    const char* name;
    int rate, channels;
    double ffmpeg_bit_rate, ffmpeg_duration;
  } cases[] = {
      {"stereo.aac", 44100, 2, 96531, 1.044887},
      {"mono.aac", 22050, 1, 34732, 1.068064},
  };
  TAACfile aac;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(aac.ReadHeader(test::Fixture(std::string("apeflac/") + c.name)));
    ASSERT_TRUE(aac.IsValid());
    EXPECT_EQ(aac.HeaderTypeName(), "ADTS");
    EXPECT_EQ(aac.BitRateType, aacRateVariable);
    EXPECT_EQ(aac.SampleRate, c.rate);
    EXPECT_EQ(aac.Channels, c.channels);
    EXPECT_NEAR(aac.BitRate, c.ffmpeg_bit_rate, c.ffmpeg_bit_rate * 0.03);
    EXPECT_NEAR(aac.Duration(), c.ffmpeg_duration, 0.05);
  }
}

// The same mono stream behind an ID3v2 tag and before an ID3v1 tag: the
// header is read after the tag, and the walk meets the ID3v1 tag as one
// more frame without a sync word.
TEST(AACfile, TaggedFile) {
  TAACfile plain, tagged;
  ASSERT_TRUE(plain.ReadHeader(test::Fixture("apeflac/mono.aac")));
  ASSERT_TRUE(tagged.ReadHeader(test::Fixture("apeflac/tagged.aac")));
  ASSERT_TRUE(tagged.IsValid());
  EXPECT_GT(tagged.ID3v2Size, 0);
  EXPECT_TRUE(tagged.HasID3v1);
  EXPECT_EQ(tagged.SampleRate, plain.SampleRate);
  EXPECT_EQ(tagged.Channels, plain.Channels);
  EXPECT_LT(tagged.BitRate, plain.BitRate);
  // The frames are the same: N / (N + 1) of the plain rate for a whole N.
  double frames = static_cast<double>(tagged.BitRate) / (plain.BitRate - tagged.BitRate);
  EXPECT_NEAR(frames, std::round(frames), 0.3);
  EXPECT_DOUBLE_EQ(tagged.Duration(), (tagged.FileSize - tagged.ID3v2Size) * 8.0 / tagged.BitRate);
}

TEST(AACfile, AdtsWalk) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    uint8_t kind;
    int32_t bit_rate;
  } cases[] = {
      // Constant: the first frame alone, 200 x 8 / 1024 x 44100 = 68906.25.
      {"constant", AdtsFrame(200, 0x100) + Frames(5, 400), aacRateConstant, 68906},
      {"constant MPEG-2", AdtsFrame(200, 0x100, 4, 2, 1) + Frames(5, 400), aacRateConstant, 68906},
      // Variable: the average of all frames, 3 x 100 + 2 x 200.
      {"variable", Frames(3, 100) + Frames(2, 200), aacRateVariable, 48234},
      // Before an ID3v1 tag the walk counts one frame more: 300 x 8 / 1024 / 4 x 44100.
      {"variable before ID3v1", Frames(3, 100) + "TAG" + test::Fill(125), aacRateVariable, 25840},
      // Only the first 1000 frames count.
      {"1200 frames", Frames(1000, 10) + Frames(200, 1000), aacRateVariable, 3445},
      // A frame that claims more than the file holds ends the walk.
      {"runs past the end", AdtsFrame(8000).substr(0, 100), aacRateVariable, 2756250},
  };
  TAACfile aac;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(aac.ReadHeader(dir.Write("w.aac", c.bytes)));
    EXPECT_EQ(aac.HeaderTypeID, aacADTS);
    EXPECT_EQ(aac.BitRateType, c.kind);
    EXPECT_EQ(aac.BitRate, c.bit_rate);
    EXPECT_TRUE(aac.IsValid());
  }
}

TEST(AACfile, NotValid) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    uint8_t type;
  } cases[] = {
      {"neither ADIF nor 0xFF", test::Fill(100, 0x11), aacUnknown},
      {"0xFF without sync", "\xFF\x0F" + test::Fill(100), aacADTS},
      {"channel configuration 0", AdtsFrame(100, 0x100, 4, 0), aacADTS},
      {"sample rate index 13", AdtsFrame(100, 0x100, 13, 2), aacADTS},
      {"frame length 0", AdtsFrame(0) + test::Fill(50), aacADTS},
      {"one byte", "\xFF", aacADTS},
      {"header cut after 6 bytes", AdtsFrame(100).substr(0, 6), aacADTS},
      {"empty", "", aacUnknown},
  };
  TAACfile aac;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(aac.ReadHeader(dir.Write("n.aac", c.bytes)));
    EXPECT_EQ(aac.HeaderTypeID, c.type);
    EXPECT_FALSE(aac.IsValid());
  }
  EXPECT_FALSE(aac.ReadHeader(dir.File("missing.aac")));
  EXPECT_EQ(aac.HeaderTypeName(), "Unknown");
}

TEST(AACfile, Adif) {
  test::TempDir dir;
  TAACfile aac;
  struct Case {
    const char* name;
    TAdif header;
    uint8_t kind;
  } cases[] = {
      {"constant", {}, aacRateConstant},
      {"variable", {.variable = true}, aacRateVariable},
      {"copyright id", {.copyright = true}, aacRateConstant},
      {"copyright id, variable", {.copyright = true, .variable = true}, aacRateVariable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(aac.ReadHeader(dir.Write("a.aac", Adif(c.header))));
    ASSERT_TRUE(aac.IsValid());
    EXPECT_EQ(aac.HeaderTypeName(), "ADIF");
    EXPECT_EQ(aac.BitRateType, c.kind);
    EXPECT_EQ(aac.BitRate, 128000);
    EXPECT_EQ(aac.SampleRate, 48000);
    EXPECT_EQ(aac.Channels, 3);  // one front, one back, one LFE element
  }
  // A channel pair element is two channels.
  struct Layout {
    const char* name;
    TAdif header;
    int channels;
  } layouts[] = {
      {"one pair: stereo", {.front = 1, .back = 0, .lfe = 0, .pairs = {1}}, 2},
      {"one single element: mono", {.front = 1, .back = 0, .lfe = 0}, 1},
      {"5.1: centre, front pair, back pair, LFE", {.front = 2, .back = 1, .lfe = 1, .pairs = {0, 1, 1}}, 6},
      {"side pair after mixdown fields", {.front = 1, .side = 1, .back = 0, .lfe = 0, .pairs = {0, 1}, .mixdowns = true}, 3},
      {"every count at its largest, all pairs",
       {.copyright = true, .front = 15, .side = 15, .back = 15, .lfe = 3, .pairs = std::vector<int>(45, 1), .mixdowns = true},
       93},
  };
  for (const Layout& c : layouts) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(aac.ReadHeader(dir.Write("l.aac", Adif(c.header))));
    EXPECT_EQ(aac.Channels, c.channels);
    EXPECT_EQ(aac.SampleRate, 48000);
  }
  // Behind an ID3v2 tag, and cut right after "ADIF".
  std::string id3v2 = "ID3" + test::Bytes({3, 0, 0, 0, 0, 0, 10}) + test::Fill(10);
  ASSERT_TRUE(aac.ReadHeader(dir.Write("t.aac", id3v2 + Adif({.bit_rate = 64000}))));
  EXPECT_EQ(aac.BitRate, 64000);
  EXPECT_DOUBLE_EQ(aac.Duration(), (aac.FileSize - 20) * 8.0 / 64000);
  ASSERT_TRUE(aac.ReadHeader(dir.Write("cut.aac", "ADIF")));
  EXPECT_FALSE(aac.IsValid());
}

// (File size - tag) x 8 is formed in 64 bits: a 3 GB stream at 128 kbit/s.
TEST(AACfile, DurationOfLargeFiles) {
  TAACfile aac;
  aac.HeaderTypeID = aacADTS;
  aac.FileSize = 3000000000LL;
  aac.BitRate = 128000;
  EXPECT_DOUBLE_EQ(aac.Duration(), 187500.0);
}

// Every start of a real file: valid as soon as the first frame header is
// whole; a header cut by the end never replaces the values read before it.
TEST(AACfile, EveryStartOfARealFile) {
  test::TempDir dir;
  std::string whole = test::ReadAll(test::Fixture("apeflac/stereo.aac"));
  TAACfile aac;
  for (size_t len = 0; len <= whole.size(); len += 37) {
    ASSERT_TRUE(aac.ReadHeader(dir.Write("cut.aac", whole.substr(0, len))));
    ASSERT_EQ(aac.IsValid(), len >= 7) << len;
    if (len >= 7) {
      ASSERT_EQ(aac.Channels, 2) << len;
    }
  }
}

}  // namespace
