#include <gtest/gtest.h>

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

}  // namespace
