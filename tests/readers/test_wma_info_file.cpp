// TWMAInfoFile: stream values from the ASF header objects.

#include <gtest/gtest.h>

#include "toolkit/file_io.h"
#include "readers/wma_info_file.h"
#include "support/asf_builder.h"
#include "support/test_support.h"

namespace {

struct FixtureRow {
  const char* Name;
  int Channels;
  int SampleRate;
  int BitRate;
  double Duration;  // play duration minus preroll, as ffmpeg wrote them
};

TEST(WMAInfoFile, Fixtures) {
  const FixtureRow rows[] = {
      {"wma/tagged.wma", 2, 44100, 64, 1.021},
      {"wma/mono_notags.wma", 1, 22050, 32, 1.021},
      {"wma/clip.asf", 2, 48000, 96, 1.025},
      // Audio first, then video: the audio stream's values count.
      {"wma/clip.wmv", 1, 44100, 48, 1.046},
  };
  for (const FixtureRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TWMAInfoFile info;
    ASSERT_TRUE(info.ReadHeader(test::Fixture(row.Name)));
    EXPECT_TRUE(info.FValid);
    EXPECT_EQ(info.FChannels, row.Channels);
    EXPECT_EQ(info.FSampleRate, row.SampleRate);
    EXPECT_EQ(info.FBitRate, row.BitRate);
    EXPECT_NEAR(info.FDuration, row.Duration, 1e-9);
    EXPECT_FALSE(info.FDurationEstimated);
    EXPECT_EQ(info.FFileSize, static_cast<int32_t>(test::ReadAll(test::Fixture(row.Name)).size()));
  }
}

// Without a play duration the time is estimated from the size and the
// maximum bit rate: 1 000 000 bytes at 128 000 bit/s are 62.5 s.
TEST(WMAInfoFile, EstimatedDuration) {
  std::string file = asf::File({asf::FileProperties(0, 3100, 128000), asf::StreamProperties(2, 44100, 16000)});
  file += test::Fill(1000000 - file.size());
  test::TempDir dir;
  TWMAInfoFile info;
  ASSERT_TRUE(info.ReadHeader(dir.Write("e.wma", file)));
  EXPECT_TRUE(info.FValid);
  EXPECT_DOUBLE_EQ(info.FDuration, 62.5);
  EXPECT_TRUE(info.FDurationEstimated);
  EXPECT_EQ(info.FBitRate, 128);
  EXPECT_EQ(info.ChannelModeText(), "Stereo");
}

TEST(WMAInfoFile, StatedDurationIsNeverNegative) {
  test::TempDir dir;
  TWMAInfoFile info;
  // A preroll longer than the play duration.
  ASSERT_TRUE(info.ReadHeader(
      dir.Write("n.wma", asf::File({asf::FileProperties(10000000, 5000, 128000), asf::StreamProperties(2, 44100, 16000)}))));
  EXPECT_TRUE(info.FValid);
  EXPECT_EQ(info.FDuration, 0.0);
}

struct Plausible {
  uint16_t Channels;
  uint32_t Rate;
  uint32_t ByteRate;
  uint32_t MaxBitRate;
  bool Valid;
  const char* Text;
};

TEST(WMAInfoFile, Plausibility) {
  const Plausible rows[] = {
      {1, 8000, 1, 1, true, "Mono"},
      {6, 48000, 96000, 768000, true, "6"},               // 5.1
      {8, 192000, 1000000, 10000000, true, "8"},           // the largest accepted
      {2, 96000, 400000, 3200000, true, "Stereo"},         // lossless
      {0, 44100, 16000, 128000, false, "Unknown"},
      {9, 44100, 16000, 128000, false, "Unknown"},
      {2, 7999, 16000, 128000, false, "Unknown"},
      {2, 192001, 16000, 128000, false, "Unknown"},
      {2, 44100, 0, 128000, false, "Unknown"},
      {2, 44100, 1000001, 128000, false, "Unknown"},
      {2, 44100, 16000, 0, false, "Unknown"},
      {2, 44100, 16000, 10000001, false, "Unknown"},
  };
  test::TempDir dir;
  for (const Plausible& r : rows) {
    SCOPED_TRACE(testing::Message() << r.Channels << " ch " << r.Rate << " Hz " << r.ByteRate << " B/s " << r.MaxBitRate);
    TWMAInfoFile info;
    ASSERT_TRUE(info.ReadHeader(dir.Write(
        "p.wma", asf::File({asf::FileProperties(30000000, 0, r.MaxBitRate), asf::StreamProperties(r.Channels, r.Rate, r.ByteRate)}))));
    EXPECT_EQ(info.FValid, r.Valid);
    EXPECT_EQ(info.ChannelModeText(), r.Text);
    if (!r.Valid) {
      EXPECT_EQ(info.FSampleRate, 0);
      EXPECT_EQ(info.FDuration, 0.0);
    }
  }
}

TEST(WMAInfoFile, OnlyTheFirstAudioStreamCounts) {
  test::TempDir dir;
  TWMAInfoFile info;
  ASSERT_TRUE(info.ReadHeader(dir.Write(
      "v.wmv", asf::File({asf::FileProperties(30000000, 0, 500000), asf::StreamProperties(320, 240, 99, asf::kVideoMedia),
                          asf::StreamProperties(2, 32000, 8000), asf::StreamProperties(1, 8000, 1000)}))));
  EXPECT_TRUE(info.FValid);
  EXPECT_EQ(info.FChannels, 2);
  EXPECT_EQ(info.FSampleRate, 32000);
  EXPECT_EQ(info.FBitRate, 64);
}

struct Broken {
  const char* What;
  std::string Bytes;
  bool Result;
  bool Valid;
};

TEST(WMAInfoFile, BrokenHeaders) {
  const std::string good = asf::File(asf::PlainStream());
  auto patch = [&](size_t pos, const std::string& with) { return std::string(good).replace(pos, with.size(), with); };
  const size_t second_size = 30 + 104 + 16;  // size field of the Stream Properties Object
  const Broken rows[] = {
      {"no child objects", asf::File({}), true, false},
      {"not ASF", test::Fill(200, 7), true, false},
      {"empty file", "", false, false},
      {"ends inside the Header Object", good.substr(0, 20), false, false},
      {"ends inside a child", good.substr(0, 30 + 104 + 50), false, false},
      {"child smaller than its header", patch(second_size, test::LE64(4)), true, false},
      {"child past the end of the file", patch(second_size, test::LE64(1u << 20)), false, false},
      {"child of 4 GiB and more", patch(second_size, test::LE64((1ull << 32) + 114)), false, false},
      {"child past the header but inside the file", patch(second_size, test::LE64(114 + 30)), true, false},
      {"File Properties shorter than its fields",
       asf::File({asf::Object(asf::kFileProperties, test::Fill(36, 0xFF)), asf::StreamProperties(2, 44100, 16000)}), true,
       false},
      // The walk stops at the end of the header whatever the count says.
      {"object count of 2^32 - 1", patch(24, test::LE32(0xFFFFFFFF)), true, true},
      {"header size past the file", patch(16, test::LE64(1ull << 40)), true, true},
  };
  test::TempDir dir;
  for (const Broken& r : rows) {
    SCOPED_TRACE(r.What);
    TWMAInfoFile info;
    EXPECT_EQ(info.ReadHeader(dir.Write("b.wma", r.Bytes)), r.Result);
    EXPECT_EQ(info.FValid, r.Valid);
    if (!r.Valid) {
      EXPECT_EQ(info.FChannels, 0);
      EXPECT_EQ(info.FDuration, 0.0);
    }
  }
  TWMAInfoFile info;
  EXPECT_FALSE(info.ReadHeader(dir.File("missing.wma")));
}

// The count says more objects than the header holds: the walk still reads
// the ones that are there and stops at the header's end.
TEST(WMAInfoFile, CountLargerThanTheHeader) {
  std::string file = asf::File(asf::PlainStream());
  file.replace(24, 4, test::LE32(50));
  test::TempDir dir;
  TWMAInfoFile info;
  EXPECT_TRUE(info.ReadHeader(dir.Write("c.wma", file)));
  EXPECT_TRUE(info.FValid);
  EXPECT_EQ(info.FSampleRate, 44100);
}

// Every cut of a real file: no crash, and values only when the whole
// header was there.
TEST(WMAInfoFile, EveryCutOfARealFile) {
  std::string whole = test::ReadAll(test::Fixture("wma/clip.wmv"));
  test::TempDir dir;
  std::string path = dir.File("cut.wmv");
  for (size_t len = 0; len < 1000 && len < whole.size(); ++len) {
    test::WriteAll(path, whole.substr(0, len));
    TWMAInfoFile info;
    bool ok = info.ReadHeader(path);
    if (!ok) {
      EXPECT_FALSE(info.FValid) << len;
    }
  }
}

}  // namespace
