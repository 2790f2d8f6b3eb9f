#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "readers/mpeg_audio.h"
#include "support/test_support.h"

namespace {

using test::Bytes;
using test::Fill;

// MPEG 1 Layer III, 128 kbit/s, 44100 Hz, no CRC; byte 3 gives mode and
// the copyright/original bits. Frames are 417 bytes (418 with padding).
std::string Mpeg1Header(uint8_t b3 = 0x00, uint8_t b2 = 0x90) { return Bytes({0xFF, 0xFB, b2, b3}); }

// count frames of the given length, each a header followed by zeros.
std::string Frames(const std::string& header, size_t length, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += header + Fill(length - 4);
  return out;
}

// An ID3v2 header announcing body bytes, followed by the body (zeros).
std::string Id3v2(size_t total) {
  size_t body = total - 10;
  return Bytes({'I', 'D', '3', 3, 0, 0, static_cast<int>((body >> 21) & 0x7F), static_cast<int>((body >> 14) & 0x7F),
                static_cast<int>((body >> 7) & 0x7F), static_cast<int>(body & 0x7F)}) +
         Fill(body);
}

std::string Id3v1() { return "TAG" + Fill(125, 0); }

// A first frame with a Xing header at offset 36 (MPEG 1 stereo).
std::string XingFrame(uint32_t frames, uint32_t bytes, const std::string& vendor) {
  std::string f = Mpeg1Header() + Fill(32) + "Xing" + test::BE32(0x0F) + test::BE32(frames) + test::BE32(bytes) +
                  Fill(100) + test::BE32(0x50) + vendor;
  return f + Fill(417 - f.size());
}

TEST(MpegFrameHeader, TestRejectsEachReservedOrBadField) {
  struct Case {
    const char* what;
    std::string header;
    bool valid;
  } cases[] = {
      {"MPEG 1 Layer III", Bytes({0xFF, 0xFB, 0x90, 0x00}), true},
      {"MPEG 2.5 Layer III", Bytes({0xFF, 0xE3, 0x10, 0xC0}), true},
      {"no sync byte", Bytes({0xFE, 0xFB, 0x90, 0x00}), false},
      {"short sync", Bytes({0xFF, 0xDB, 0x90, 0x00}), false},
      {"reserved version", Bytes({0xFF, 0xEB, 0x90, 0x00}), false},
      {"reserved layer", Bytes({0xFF, 0xF9, 0x90, 0x00}), false},
      {"free format", Bytes({0xFF, 0xFB, 0x00, 0x00}), false},
      {"bad bit rate", Bytes({0xFF, 0xFB, 0xF0, 0x00}), false},
      {"reserved sample rate", Bytes({0xFF, 0xFB, 0x9C, 0x00}), false},
      {"reserved emphasis", Bytes({0xFF, 0xFB, 0x90, 0x02}), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TMPEGaudio::IsFrameHeader(reinterpret_cast<const uint8_t*>(c.header.data())), c.valid) << c.what;
}

TEST(MpegFrameHeader, FrameLengthByVersionLayerAndPadding) {
  struct Case {
    std::string header;
    uint16_t length;
  } cases[] = {
      {Bytes({0xFF, 0xFB, 0x90, 0x00}), 417},  // Trunc(144 * 128000 / 44100)
      {Bytes({0xFF, 0xFB, 0x92, 0x00}), 418},  // padded
      {Bytes({0xFF, 0xFD, 0x80, 0x00}), 417},  // Layer II 128 kbit/s: same coefficient
      {Bytes({0xFF, 0xFF, 0x92, 0x00}), 317},  // Layer I, 288 kbit/s: 48 * 288000 / 44100 + 4
      {Bytes({0xFF, 0xF3, 0x82, 0x00}), 209},  // MPEG 2 Layer III 64 kbit/s 22050 Hz: 72 * 64000 / 22050 + 1
      {Bytes({0xFF, 0xE3, 0x18, 0xC0}), 72},   // MPEG 2.5, 8 kbit/s at 8000 Hz
  };
  for (const Case& c : cases) {
    TMPEGaudio reader;
    test::TempDir dir;
    ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", c.header + Fill(c.length - 4) + c.header + Fill(4000))));
    ASSERT_TRUE(reader.Frame.Found);
    EXPECT_EQ(reader.Frame.Size, c.length);
  }
}

TEST(MpegAudio, FrameAfterTagAndCbrDurationLeaveOutBothTags) {
  test::TempDir dir;
  // 1 000 000 bytes: a 1000-byte ID3v2 tag, frames, an ID3v1 tag.
  std::string audio = Frames(Mpeg1Header(), 417, 4);
  std::string file = Id3v2(1000) + audio;
  file += Fill(1000000 - 128 - file.size()) + Id3v1();
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("cbr.mp3", file)));
  ASSERT_TRUE(reader.Frame.Found);
  EXPECT_EQ(reader.Frame.Position, 0);
  EXPECT_EQ(reader.ID3v2Size, 1000);
  EXPECT_TRUE(reader.ID3v1Present);
  EXPECT_FALSE(reader.VBR.Found);
  EXPECT_EQ(reader.BitRate(), 128);
  EXPECT_EQ(reader.SampleRate(), 44100);
  EXPECT_NEAR(reader.Duration(), (1000000.0 - 1000 - 128) * 8 / 128000, 1e-9);
  EXPECT_EQ(reader.FileLength, 1000000);
  EXPECT_EQ(reader.ChannelMode(), "Stereo");
}

TEST(MpegAudio, CandidateWhoseSuccessorIsNoHeaderIsSkipped) {
  test::TempDir dir;
  // A false sync at 0 whose length (417) points into zeros; the real
  // stream starts at 500.
  std::string file = Mpeg1Header() + Fill(496) + Frames(Mpeg1Header(0xC0), 417, 3) + Fill(4000);
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", file)));
  ASSERT_TRUE(reader.Frame.Found);
  EXPECT_EQ(reader.Frame.Position, 500);
  EXPECT_EQ(reader.ChannelMode(), "Mono");
}

TEST(MpegAudio, FreeFormatIsNeverFound) {
  test::TempDir dir;
  std::string free_format = Bytes({0xFF, 0xFB, 0x00, 0x00});
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", Frames(free_format, 400, 8))));
  EXPECT_FALSE(reader.Frame.Found);
  EXPECT_EQ(reader.BitRate(), 0);
  EXPECT_EQ(reader.Duration(), 0);
  EXPECT_EQ(reader.ChannelMode(), "Unknown");
  EXPECT_EQ(reader.Encoder(), "Unknown");
}

TEST(MpegAudio, XingGivesFramesBasedDurationAndAverageBitRate) {
  test::TempDir dir;
  std::string file = XingFrame(100, 100 * 300, "LAME3.97") + Frames(Mpeg1Header(), 417, 4) + Fill(3000);
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("vbr.mp3", file)));
  ASSERT_TRUE(reader.VBR.Found);
  EXPECT_EQ(reader.VBR.ID, "Xing");
  EXPECT_EQ(reader.VBR.Frames, 100);
  EXPECT_EQ(reader.VBR.Scale, 0x50);
  EXPECT_NEAR(reader.Duration(), 100 * 1152 / 44100.0, 1e-9);
  EXPECT_EQ(reader.BitRate(), 92);  // 300 bytes a frame * 44100 / 144 / 1000 = 91.875
  EXPECT_EQ(reader.Encoder(), "LAME 3.97");
}

TEST(MpegAudio, XingWithoutFrameCountFallsBackToConstantRate) {
  test::TempDir dir;
  std::string file = XingFrame(0, 0, "GOGO0000") + Frames(Mpeg1Header(), 417, 4) + Fill(4000);
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", file)));
  EXPECT_TRUE(reader.VBR.Found);
  EXPECT_EQ(reader.BitRate(), 128);
  EXPECT_NEAR(reader.Duration(), file.size() * 8 / 128000.0, 1e-9);
  EXPECT_EQ(reader.Encoder(), "GoGo");
}

TEST(MpegAudio, VbriIsLookedForAtTheXingOffsetOnly) {
  // VBRI: version, delay, quality at +9, bytes at +10, frames at +14.
  auto with_vbri = [](uint8_t mode) {
    std::string f = Mpeg1Header(mode) + Fill(32) + "VBRI" + Bytes({0, 1, 0, 0, 0, 75}) + test::BE32(50000) +
                    test::BE32(200);
    return f + Fill(417 - f.size()) + Frames(Mpeg1Header(mode), 417, 4) + Fill(3000);
  };
  test::TempDir dir;
  TMPEGaudio stereo;
  ASSERT_TRUE(stereo.ReadHeader(dir.Write("s.mp3", with_vbri(0x00))));
  ASSERT_TRUE(stereo.VBR.Found);
  EXPECT_EQ(stereo.VBR.ID, "VBRI");
  EXPECT_EQ(stereo.VBR.Frames, 200);
  EXPECT_EQ(stereo.VBR.Bytes, 50000);
  EXPECT_EQ(stereo.VBR.Scale, 75);
  EXPECT_EQ(stereo.Encoder(), "FhG");
  EXPECT_NEAR(stereo.Duration(), 200 * 1152 / 44100.0, 1e-9);

  TMPEGaudio mono;  // mono frames carry the header at 21, so 36 is not looked at
  ASSERT_TRUE(mono.ReadHeader(dir.Write("m.mp3", with_vbri(0xC0))));
  EXPECT_TRUE(mono.Frame.Found);
  EXPECT_FALSE(mono.VBR.Found);
}

// The version is the digits and dots after "LAME" in the 9-byte encoder
// field, when they begin with a digit, a dot and two digits.
TEST(MpegAudio, EncoderVersionFromTheLameTag) {
  struct Case {
    const char* vendor;
    const char* encoder;
  } cases[] = {{"LAME3.100", "LAME 3.100"}, {"LAME3.99r", "LAME 3.99"}, {"LAME3.98 ", "LAME 3.98"},
               {"LAME3.97", "LAME 3.97"},   {"LAME3.9x", "LAME"},        {"LAME3.10", "LAME 3.10"},
               {"Lavf5800", "Xing"}};
  test::TempDir dir;
  for (const Case& c : cases) {
    TMPEGaudio reader;
    ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", XingFrame(10, 4170, c.vendor) + Frames(Mpeg1Header(), 417, 2))));
    EXPECT_EQ(reader.Encoder(), c.encoder) << c.vendor;
  }
}

TEST(MpegAudio, VendorSignatureAtTheEndBeforeAnId3v1Tag) {
  test::TempDir dir;
  std::string audio = Frames(Mpeg1Header(0x04), 417, 20);
  std::string tail = "LAME3.100" + Fill(100);
  TMPEGaudio plain;
  ASSERT_TRUE(plain.ReadHeader(dir.Write("a.mp3", audio + tail)));
  EXPECT_EQ(plain.VendorID, "LAME3.100");
  EXPECT_EQ(plain.Encoder(), "LAME 3.100");

  TMPEGaudio tagged;  // the end block stops where the ID3v1 tag begins
  ASSERT_TRUE(tagged.ReadHeader(dir.Write("b.mp3", audio + tail + Id3v1())));
  EXPECT_EQ(tagged.VendorID, "LAME3.100");

  TMPEGaudio far;  // more than five frame lengths before the end: not seen
  ASSERT_TRUE(far.ReadHeader(dir.Write("c.mp3", audio + "LAME3.98" + Fill(417 * 5 + 10))));
  EXPECT_EQ(far.VendorID, "");
}

TEST(MpegAudio, HeaderBitsGuessTheEncoderWithoutVbrHeader) {
  struct Case {
    const char* what;
    std::string header;
    const char* encoder;
  } cases[] = {
      {"plain joint stereo", Bytes({0xFF, 0xFB, 0x90, 0x40}), "FhG"},
      {"original with CRC", Bytes({0xFF, 0xFA, 0x90, 0x44}), "LAME"},
      {"stereo up to 160 kbit/s", Bytes({0xFF, 0xFB, 0x90, 0x00}), "Blade"},
      {"copyright and original, no CRC", Bytes({0xFF, 0xFB, 0x90, 0x4C}), "Xing"},
      {"Layer II", Bytes({0xFF, 0xFD, 0x80, 0x40}), "QDesign"},
      {"dual channel with CRC", Bytes({0xFF, 0xFA, 0x90, 0x80}), "Shine"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    TMPEGaudio reader;
    // Non-zero side information, so the frame is no Xing-like empty frame.
    std::string frame = c.header + Bytes({1, 2, 3, 4, 5, 6}) + Fill(407);
    std::string file;
    for (int i = 0; i < 12; ++i) file += frame;
    ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", file))) << c.what;
    ASSERT_TRUE(reader.Frame.Found) << c.what;
    EXPECT_EQ(reader.Encoder(), c.encoder) << c.what;
  }
}

TEST(MpegAudio, MiddleBlockIsSearchedWhenTheFirstHoldsNoFrame) {
  test::TempDir dir;
  std::string junk = Fill(4000, 0x55);
  std::string file = junk + Frames(Mpeg1Header(), 417, 30);
  // The middle block starts at file size / 2, inside the frames.
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("f.mp3", file)));
  ASSERT_TRUE(reader.Frame.Found);
  size_t middle = file.size() / 2;
  EXPECT_EQ(static_cast<size_t>(reader.Frame.Position), (417 - (middle - 4000) % 417) % 417);

  TMPEGaudio short_junk;  // under one block after the tag: no middle search
  ASSERT_TRUE(short_junk.ReadHeader(dir.Write("g.mp3", Fill(3000, 0x55))));
  EXPECT_FALSE(short_junk.Frame.Found);
  EXPECT_EQ(short_junk.FileLength, 0);
}

TEST(MpegAudio, ShortValidFileIsReadFromItsStart) {
  test::TempDir dir;
  std::string file = Frames(Mpeg1Header(), 417, 3);  // 1251 bytes, no VBR header
  TMPEGaudio reader;
  ASSERT_TRUE(reader.ReadHeader(dir.Write("short.mp3", file)));
  ASSERT_TRUE(reader.Frame.Found);
  EXPECT_NEAR(reader.Duration(), 1251 * 8 / 128000.0, 1e-9);
  ASSERT_TRUE(reader.ReadHeader(dir.Write("short1.mp3", file + Id3v1())));
  EXPECT_TRUE(reader.Frame.Found);
}

TEST(MpegAudio, UnreadableOrEmptyInput) {
  test::TempDir dir;
  TMPEGaudio reader;
  EXPECT_FALSE(reader.ReadHeader(dir.File("missing.mp3")));
  EXPECT_FALSE(reader.ReadHeader(dir.Path().string()));
  EXPECT_TRUE(reader.ReadHeader(dir.Write("empty.mp3", "")));
  EXPECT_FALSE(reader.Frame.Found);
  // A tag that claims more than the file holds counts as no tag.
  EXPECT_TRUE(reader.ReadHeader(dir.Write("big_tag.mp3", Bytes({'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F}) +
                                                            Frames(Mpeg1Header(), 417, 3))));
  EXPECT_EQ(reader.ID3v2Size, 0);
  EXPECT_TRUE(reader.Frame.Found);
}

TEST(MpegAudio, EveryTruncationOfARealFileIsReadSafely) {
  std::string whole = test::ReadAll(test::Fixture("mpeg/vbr_v5.mp3"));
  test::TempDir dir;
  std::string path = dir.File("cut.mp3");
  TMPEGaudio reader;
  for (size_t len = 0; len <= whole.size(); len += (len < 1000 ? 1 : 61)) {
    test::WriteAll(path, whole.substr(0, len));
    ASSERT_TRUE(reader.ReadHeader(path)) << len;
    if (!reader.Frame.Found) continue;
    EXPECT_LE(reader.BitRate(), 448) << len;
    EXPECT_TRUE(std::isfinite(reader.Duration())) << len;
  }
}

// Values the frame headers of the committed files give: Xing files
// frames * samples per frame / rate, the others their audio bytes over the
// table bit rate.
TEST(MpegAudio, FixturesGiveTheirHeaderValues) {
  struct Case {
    const char* file;
    uint16_t bitrate;
    uint16_t samplerate;
    double duration;
    const char* mode;
    const char* encoder;
    const char* vbr;
  } cases[] = {
      {"cbr128_stereo.mp3", 128, 44100, 17135 * 8 / 128000.0, "Joint Stereo", "LAME 3.100", ""},
      {"vbr_v5.mp3", 40, 44100, 40 * 1152 / 44100.0, "Joint Stereo", "LAME 3.100", "Xing"},
      {"abr64.mp3", 57, 44100, 40 * 1152 / 44100.0, "Joint Stereo", "LAME 3.100", "Xing"},
      {"cbr64_no_xing.mp3", 64, 44100, 8359 * 8 / 64000.0, "Joint Stereo", "LAME 3.100", ""},
      {"mono_vbr_32k.mp3", 40, 32000, 29 * 1152 / 32000.0, "Mono", "LAME 3.100", "Xing"},
      {"mpeg2_vbr_22k.mp3", 15, 22050, 41 * 576 / 22050.0, "Joint Stereo", "LAME 3.100", "Xing"},
      {"mpeg25_mono_vbr_8k.mp3", 14, 8000, 16 * 576 / 8000.0, "Mono", "LAME 3.100", "Xing"},
      {"short_8k.mp3", 8, 8000, 648 * 8 / 8000.0, "Mono", "FhG", ""},
      {"layer2.mp2", 64, 48000, 8064 * 8 / 64000.0, "Mono", "QDesign", ""},
      {"id3v2_v23_latin1.mp3", 32, 32000, (6272 - 1968 - 128) * 8 / 32000.0, "Mono", "LAME 3.100", ""},
      {"bigcover_v24.mp3", 32, 32000, (116060 - 111884) * 8 / 32000.0, "Mono", "LAME 3.100", ""},
  };
  for (const Case& c : cases) {
    TMPEGaudio reader;
    ASSERT_TRUE(reader.ReadHeader(test::Fixture(std::string("mpeg/") + c.file))) << c.file;
    ASSERT_TRUE(reader.Frame.Found) << c.file;
    EXPECT_EQ(reader.BitRate(), c.bitrate) << c.file;
    EXPECT_EQ(reader.SampleRate(), c.samplerate) << c.file;
    EXPECT_NEAR(reader.Duration(), c.duration, 1e-9) << c.file;
    EXPECT_EQ(reader.ChannelMode(), c.mode) << c.file;
    EXPECT_EQ(reader.Encoder(), c.encoder) << c.file;
    EXPECT_EQ(reader.VBR.ID, c.vbr) << c.file;
  }
}

}  // namespace
