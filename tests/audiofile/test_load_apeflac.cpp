#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "audiofile/audio_file.h"
#include "support/test_support.h"

namespace {

// The texts below are pinned to the C locale: "." and no grouping.
class LoadApeFlac : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "C"); }

  bool Load(const std::string& path, int preferred = 2) {
    audio.SetPreferredTag(preferred);
    audio.FileName = path;
    return audio.LoadFile();
  }

  TAudioFile audio;
  test::TempDir dir;
};

std::string MonkeyHeader(uint16_t version, uint16_t level, uint16_t channels, int32_t frames, int32_t final_samples) {
  return "MAC " + test::LE16(version) + test::LE16(level) + test::LE16(0) + test::LE16(channels) + test::LE32(44100) +
         test::LE32(44) + test::LE32(0) + test::LE32(static_cast<uint32_t>(frames)) +
         test::LE32(static_cast<uint32_t>(final_samples)) + test::LE32(0) + test::LE32(0);
}

std::string SV7(uint32_t frames, uint8_t b10) { return "MP+\x07" + test::LE32(frames) + test::Bytes({0, 0, b10, 0x40}); }

TEST_F(LoadApeFlac, ApeTagFillsTheTagRecord) {
  EXPECT_TRUE(Load(test::Fixture("apeflac/tagged.ape")));
  EXPECT_EQ(audio.FileType, atAPE);
  const TTagFull& t = audio.Tags;
  EXPECT_TRUE(t.HasTagV1);
  EXPECT_FALSE(t.HasTagV2);
  EXPECT_TRUE(audio.HasPreferredTag());
  EXPECT_EQ(t.Artist, "Ape Artist");
  EXPECT_EQ(t.Album, "Ape Album");
  EXPECT_EQ(t.Title, "T\xC3\xAFtle \xE2\x9C\x93");
  EXPECT_EQ(t.Year, "2024");
  EXPECT_EQ(t.Genre, "Jazz");
  EXPECT_EQ(t.Comment, "padded comment");
  EXPECT_EQ(t.TrackText, "4/10");
  EXPECT_EQ(t.TrackNumber, 4);
  EXPECT_EQ(t.BPM, 120);
  EXPECT_EQ(t.Composer, "Ape Composer");
  EXPECT_EQ(t.OrigAlbum, "First Album");
  EXPECT_EQ(t.RecordDate, "2023-05-01");
  EXPECT_TRUE(t.HasLyrics);
  EXPECT_EQ(t.Lyrics, "line one\r\nline two");
  EXPECT_TRUE(t.HasPicture);
  EXPECT_EQ(t.PictureData.substr(0, 11), std::string("\0image/png\0", 11));
  EXPECT_EQ(t.TagVersion, "2000");
  // The loader leaves the record alone where the tag has nothing.
  EXPECT_TRUE(t.Band.empty());
  EXPECT_TRUE(t.Language.empty());
}

TEST_F(LoadApeFlac, TagVersionAndMusepackTags) {
  EXPECT_TRUE(Load(test::Fixture("apeflac/v1000.mpc")));
  EXPECT_EQ(audio.FileType, atMPC);
  EXPECT_TRUE(audio.Tags.HasTagV1);
  EXPECT_EQ(audio.Tags.Title, "Old Tag");
  EXPECT_EQ(audio.Tags.TrackNumber, 12);
  EXPECT_EQ(audio.Tags.TagVersion, "1000");
  EXPECT_FALSE(audio.HasPreferredTag());  // never for Musepack
  // With a comma as thousands separator.
  TNumberFormat comma{".", ","};
  EXPECT_EQ(FormatGrouped4(2000, comma), "2,000");
  EXPECT_EQ(FormatGrouped4(1000, comma), "1,000");
}

TEST_F(LoadApeFlac, ApeTagMappingFromBytes) {
  // The keys the record takes that the fixture lacks, and two it ignores.
  std::string items;
  int count = 0;
  auto add = [&](const std::string& key, const std::string& value) {
    items += test::LE32(static_cast<uint32_t>(value.size())) + test::LE32(0) + key + std::string(1, '\0') + value;
    ++count;
  };
  const std::pair<const char*, const char*> pairs[] = {
      {"File", "http://x"}, {"Language", "deu"},    {"Lyricist", "L"},    {"Subtitle", "S"},
      {"Conductor", "Co"},  {"Band", "B"},          {"Copyright", "(c)"}, {"Or Artist", "OA"},
      {"Or Lyricist", "OL"}, {"Remixed", "R"},      {"CG Descr", "CG"},   {"Publisher", "P"},
      {"Mood", "M"},        {"Track", "123456789012345"}, {"BPM", "fast"},
  };
  for (const auto& [key, value] : pairs) add(key, value);
  std::string footer = "APETAGEX" + test::LE32(2000) + test::LE32(static_cast<uint32_t>(items.size() + 32)) +
                       test::LE32(static_cast<uint32_t>(count)) + test::Fill(12);
  EXPECT_TRUE(Load(dir.Write("m.ape", MonkeyHeader(3970, 2000, 2, 1, 100) + items + footer)));
  const TTagFull& t = audio.Tags;
  EXPECT_EQ(t.Link, "http://x");
  EXPECT_EQ(t.Language, "deu");
  EXPECT_EQ(t.Lyricist, "L");
  EXPECT_EQ(t.Subtitle, "S");
  EXPECT_EQ(t.Conductor, "Co");
  EXPECT_EQ(t.Band, "B");
  EXPECT_EQ(t.Copyright, "(c)");
  EXPECT_EQ(t.OrigArtist, "OA");
  EXPECT_EQ(t.OrigLyricist, "OL");
  EXPECT_EQ(t.Remixed, "R");
  EXPECT_EQ(t.ContentGroup, "CG");
  EXPECT_EQ(t.TrackText, "123456789012");
  EXPECT_EQ(t.TrackNumber, 0);  // does not fit 32 bits
  EXPECT_EQ(t.BPM, 0);
  EXPECT_FALSE(t.HasLyrics);
  EXPECT_FALSE(t.HasPicture);
}

TEST_F(LoadApeFlac, MonkeyStream) {
  // 5501 bytes over 2489 stereo 16-bit samples: 55.01 % of the WAV file.
  std::string header = MonkeyHeader(3970, 3000, 2, 1, 2489);
  EXPECT_TRUE(Load(dir.Write("a.ape", header + test::Fill(5501 - header.size()))));
  const TMpegTotal& s = audio.Stream;
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.Encoder, "V.3.97 (55.01% - High)");
  EXPECT_EQ(s.BitRate, 16u);
  EXPECT_EQ(s.SampleRate, 44100u);
  EXPECT_EQ(s.ChannelMode, "Stereo");
  EXPECT_EQ(s.Duration, 0u);  // 0.056 s
  EXPECT_EQ(s.DurationText, "00:00");
  EXPECT_EQ(s.FileSizeKB, 5);
  EXPECT_FALSE(audio.Tags.HasTagV1);

  // 3.98 and later: 6 channels, 24 bits, 4 frames of 73728 samples at 44.1 kHz.
  std::string descriptor = "MAC " + test::LE16(3990) + test::LE16(0) + test::LE32(52) + test::LE32(24) + test::Fill(36);
  std::string new_header = test::LE16(4000) + test::LE16(0) + test::LE32(73728) + test::LE32(73728) + test::LE32(4) +
                           test::LE16(24) + test::LE16(6) + test::LE32(44100);
  EXPECT_TRUE(Load(dir.Write("new.ape", descriptor + new_header)));
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.BitRate, 24u);
  EXPECT_EQ(s.ChannelMode, "6");
  EXPECT_EQ(s.Duration, 7u);  // 294912 / 44100 = 6.69
  EXPECT_EQ(s.Encoder, "V.3.99 (0.00% - Extra High)");

  EXPECT_FALSE(Load(dir.Write("bad.ape", test::Fill(100))));
  EXPECT_FALSE(s.Valid);
  EXPECT_TRUE(s.Encoder.empty());
}

TEST_F(LoadApeFlac, MusepackStream) {
  const TMpegTotal& s = audio.Stream;
  EXPECT_TRUE(Load(dir.Write("7.mpc", SV7(4800, 0xA1) + test::Fill(100000))));
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.Encoder, "SV7, profile Standard");
  EXPECT_EQ(s.SampleRate, 48000u);
  EXPECT_EQ(s.Duration, 115u);  // 4800 x 1152 / 48000 = 115.2
  EXPECT_EQ(s.DurationText, "01:55");
  EXPECT_EQ(s.BitRate, 7u);
  EXPECT_EQ(s.ChannelMode, "Joint Stereo");
  EXPECT_EQ(s.FileSizeKB, 98);

  std::string sv5 = test::LE32((128u << 23) | 0x0E00) + test::LE32(900) + test::Fill(4);
  EXPECT_TRUE(Load(dir.Write("5.mpc", sv5)));
  EXPECT_EQ(s.Encoder, "SV5");
  EXPECT_EQ(s.BitRate, 128u);
  EXPECT_EQ(s.SampleRate, 44100u);
  EXPECT_EQ(s.ChannelMode, "Stereo");

  // Readable header bytes that are no Musepack stream still count, with zeros.
  EXPECT_TRUE(Load(dir.Write("x.mpc", test::Fill(40, 0x20))));
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.Encoder, "SV0");
  EXPECT_EQ(s.SampleRate, 0u);
  EXPECT_EQ(s.BitRate, 0u);
  EXPECT_EQ(s.ChannelMode, "Unknown");
  EXPECT_FALSE(Load(dir.Write("short.mpc", test::Fill(11))));
  EXPECT_FALSE(s.Valid);
}

TEST_F(LoadApeFlac, FlacStream) {
  const TMpegTotal& s = audio.Stream;
  std::string path = test::Fixture("apeflac/stereo.flac");
  EXPECT_TRUE(Load(path));
  EXPECT_EQ(audio.FileType, atFLAC);
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.BitRate, 16u);
  EXPECT_EQ(s.SampleRate, 44100u);
  EXPECT_EQ(s.ChannelMode, "Stereo");
  EXPECT_EQ(s.Duration, 1u);
  EXPECT_EQ(s.DurationText, "00:01");
  double size = static_cast<double>(test::ReadAll(path).size());
  EXPECT_EQ(s.Encoder, FormatFixed2(size / 176400 * 100, {".", ""}) + "%");
  EXPECT_EQ(s.FileSizeKB, static_cast<int32_t>(std::nearbyint(size / 1024)));
  EXPECT_FALSE(audio.Tags.HasTagV1);

  EXPECT_TRUE(Load(test::Fixture("apeflac/six.flac")));
  EXPECT_EQ(s.ChannelMode, "6");
  EXPECT_EQ(s.SampleRate, 8000u);

  EXPECT_FALSE(Load(dir.Write("not.flac", "fLaX" + test::Fill(60))));
  EXPECT_FALSE(s.Valid);
  EXPECT_FALSE(Load(dir.Write("cut.flac", "fLaC" + test::Fill(10))));
}

// The ID3v2 reader is not part of these loaders; its tag is passed over
// for the stream and the preference 1 tag is read.
TEST_F(LoadApeFlac, FlacAndAacTagsByPreference) {
  EXPECT_TRUE(Load(test::Fixture("apeflac/id3.flac"), 1));
  EXPECT_TRUE(audio.Stream.Valid);
  EXPECT_EQ(audio.Stream.SampleRate, 44100u);
  EXPECT_EQ(audio.Stream.Duration, 1u);
  EXPECT_TRUE(audio.Tags.HasTagV1);
  EXPECT_TRUE(audio.Tags.HasTagV2);
  EXPECT_EQ(audio.Tags.Title, "FLAC Title");
  EXPECT_EQ(audio.Tags.TrackNumber, 7);
  EXPECT_TRUE(audio.HasPreferredTag());

  EXPECT_TRUE(Load(test::Fixture("apeflac/tagged.aac"), 1));
  EXPECT_TRUE(audio.Stream.Valid);
  EXPECT_EQ(audio.Stream.ChannelMode, "Mono");
  EXPECT_EQ(audio.Tags.Title, "AAC Title");
  EXPECT_EQ(audio.Tags.Artist, "AAC Artist");
  EXPECT_TRUE(audio.Tags.HasTagV2);
}

TEST_F(LoadApeFlac, AacStream) {
  const TMpegTotal& s = audio.Stream;
  EXPECT_TRUE(Load(test::Fixture("apeflac/stereo.aac")));
  EXPECT_EQ(audio.FileType, atAAC);
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.Encoder, "ADTS (VBR)");
  EXPECT_EQ(s.ChannelMode, "Stereo");
  EXPECT_EQ(s.SampleRate, 44100u);
  EXPECT_NEAR(s.BitRate, 96.5, 3);  // ffprobe: 96531 bit/s
  EXPECT_EQ(s.Duration, 1u);        // ffprobe: 1.04 s

  // A constant-rate frame: 418 x 8 / 1024 x 44100 = 144 kbit/s.
  std::string frame = test::Bytes({0xFF, 0xF1, 0x50, 0x80, 0x34, 0x42, 0x00}) + test::Fill(411);
  EXPECT_TRUE(Load(dir.Write("cbr.aac", frame + frame)));
  EXPECT_EQ(s.Encoder, "ADTS (CBR)");
  EXPECT_EQ(s.BitRate, 144u);

  EXPECT_FALSE(Load(dir.Write("not.aac", test::Fill(100, 0x41))));
  EXPECT_FALSE(s.Valid);
}

// "ADIF", constant 128 kbit/s, one program configuration element at 44100 Hz
// with one front element whose is-pair bit is set.
const std::string kStereoAdif =
    test::Bytes({0x41, 0x44, 0x49, 0x46, 0x00, 0x3E, 0x80, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x80, 0x00, 0x04, 0x00});

TEST_F(LoadApeFlac, StereoAdifIsStereo) {
  const TMpegTotal& s = audio.Stream;
  EXPECT_TRUE(Load(dir.Write("stereo.aac", kStereoAdif + test::Fill(16000))));
  EXPECT_TRUE(s.Valid);
  EXPECT_EQ(s.ChannelMode, "Stereo");
  EXPECT_EQ(s.Encoder, "ADIF (CBR)");
  EXPECT_EQ(s.SampleRate, 44100u);
  EXPECT_EQ(s.BitRate, 128u);
  EXPECT_EQ(s.Duration, 1u);  // 16016 x 8 / 128000 s
}

}  // namespace
