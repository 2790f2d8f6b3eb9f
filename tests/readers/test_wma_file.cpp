// TWMAFile: stream values from the header reader, attributes through the
// tag bridge, and the picture rules.

#include <gtest/gtest.h>

#include "readers/wma_file.h"
#include "support/asf_builder.h"
#include "support/test_support.h"

namespace {

using asf::Descriptor;

// A file with plausible stream values (10 s stated) and these descriptors.
std::string WithDescriptors(const std::vector<Descriptor>& descriptors) {
  std::vector<std::string> children = asf::PlainStream();
  children.push_back(asf::ExtendedContent(descriptors));
  return asf::File(children);
}

class WMAFileTest : public ::testing::Test {
 protected:
  TWMAFile& Read(const std::vector<Descriptor>& descriptors) {
    EXPECT_TRUE(wma_.ReadHeader(dir_.Write("t.wma", WithDescriptors(descriptors))));
    return wma_;
  }
  test::TempDir dir_;
  TWMAFile wma_;
};

TEST_F(WMAFileTest, TaggedFixture) {
  ASSERT_TRUE(wma_.ReadHeader(test::Fixture("wma/tagged.wma")));
  EXPECT_EQ(wma_.FTitle, "Morning Tone");
  EXPECT_EQ(wma_.FArtist, "Test Artist");
  EXPECT_EQ(wma_.FAlbum, "Test Album");
  EXPECT_EQ(wma_.FGenre, "Ambient");
  EXPECT_EQ(wma_.FTrack, "3/12");
  EXPECT_EQ(wma_.FYear, "2021");
  EXPECT_EQ(wma_.FComment, "A comment");
  EXPECT_EQ(wma_.FComposer, "Test Composer");
  EXPECT_EQ(wma_.FConductor, "Test Conductor");
  EXPECT_EQ(wma_.FLyrics, "First line\r\nSecond line");
  EXPECT_TRUE(wma_.FHasLyrics);
  EXPECT_EQ(wma_.FEncoder, "12.0.17763.1");
  EXPECT_TRUE(wma_.FHasTags);
  EXPECT_EQ(wma_.FBitRate, 64);
  EXPECT_EQ(wma_.FSampleRate, 44100);
  EXPECT_EQ(wma_.FChannelMode, "Stereo");
  EXPECT_EQ(wma_.FDuration, 1);
  EXPECT_EQ(wma_.FFileSize, 12);  // 12 205 bytes
  // The WM/Picture, as an attached-picture body in UTF-16 form.
  ASSERT_TRUE(wma_.FHasPicture);
  EXPECT_EQ(wma_.FPicture.substr(0, 18), std::string("\x01image/jpeg\0\x03\xFF\xFE", 15) + asf::W(u"C", false) + "o");
  std::string rest = wma_.FPicture.substr(15 + asf::W(u"Cover").size());
  EXPECT_EQ(rest.substr(0, 2), "\xFF\xD8") << "the JPEG follows the description";
}

TEST_F(WMAFileTest, Id3AttributeOfTheAsfFixture) {
  ASSERT_TRUE(wma_.ReadHeader(test::Fixture("wma/clip.asf")));
  EXPECT_EQ(wma_.FTitle, "Asf Title");
  EXPECT_EQ(wma_.FAlbum, "Asf Album");
  ASSERT_TRUE(wma_.FHasPicture);
  // mutagen's APIC body: encoding 0, MIME type, picture type 3, empty description.
  EXPECT_EQ(wma_.FPicture.substr(0, 15), std::string("\0image/jpeg\0\x03\0\xFF", 15));
}

TEST_F(WMAFileTest, FileWithoutTags) {
  ASSERT_TRUE(wma_.ReadHeader(test::Fixture("wma/mono_notags.wma")));
  EXPECT_TRUE(wma_.FValid);
  EXPECT_FALSE(wma_.FHasTags);
  EXPECT_EQ(wma_.FChannelMode, "Mono");
  EXPECT_EQ(wma_.FSampleRate, 22050);
}

struct TrackCase {
  const char* What;
  std::vector<Descriptor> Descriptors;
  const char* Track;
};

TEST_F(WMAFileTest, TrackRules) {
  const TrackCase cases[] = {
      {"number only", {asf::Dword(u"WM/TRACK", 3)}, "3"},
      {"number, then text", {asf::Dword(u"WM/Track", 3), asf::Text(u"WM/TrackNumber", u"7")}, "7"},
      {"text, then number", {asf::Text(u"WM/TrackNumber", u"7"), asf::Dword(u"WM/TRACK", 3)}, "7"},
      {"zero", {asf::Dword(u"WM/TRACK", 0)}, ""},
      {"negative as a signed number", {asf::Dword(u"WM/TRACK", 0xFFFFFFFF)}, ""},
      {"number shorter than 4 bytes", {{u"WM/TRACK", 3, "\x05"}}, ""},
      {"a number under another name", {asf::Dword(u"WM/TrackCount", 9)}, ""},
      {"empty text", {asf::Text(u"WM/TrackNumber", u""), asf::Dword(u"WM/TRACK", 4)}, "4"},
  };
  for (const TrackCase& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(Read(c.Descriptors).FTrack, c.Track);
  }
}

TEST_F(WMAFileTest, NamesAndTypes) {
  std::string apic = std::string("\0image/png\0\x03\0", 13) + "PNGDATA";
  TWMAFile& w = Read({asf::Text(u"tItLe", u"mixed"), asf::Text(u"wm/albumtitle", u"album"),
                      asf::Binary(u"id3", asf::Id3WithApic(apic)), asf::Text(u"WM/Lyrics", u""),
                      {u"WM/Genre", 1, asf::W(u"not a string")}, {u"Author", 2, test::LE32(1)},
                      asf::Text(u"WM/Mood", u"ignored"), asf::Text(u"WM/BeatsPerMinute", u"128"),
                      asf::Text(u"Title", u"later wins")});
  EXPECT_EQ(w.FTitle, "later wins");
  EXPECT_EQ(w.FAlbum, "album");
  EXPECT_FALSE(w.FHasPicture) << "the binary attribute must be named exactly ID3";
  EXPECT_FALSE(w.FHasLyrics);
  EXPECT_EQ(w.FLyrics, "");
  EXPECT_EQ(w.FGenre, "") << "only strings are filed";
  EXPECT_EQ(w.FArtist, "");
  EXPECT_EQ(w.FBPM, "128");
  EXPECT_TRUE(w.FHasTags);
}

TEST_F(WMAFileTest, StringValuesEndAtTheirZero) {
  EXPECT_EQ(Read({{u"Title", 0, asf::W(u"abc") + asf::W(u"tail")}}).FTitle, "abc");
  EXPECT_EQ(Read({{u"Title", 0, asf::W(u"\u00e9t\u00e9 \U0001F600", false) + "x"}}).FTitle, "\u00e9t\u00e9 \U0001F600")
      << "no terminator, odd last byte";
}

TEST_F(WMAFileTest, OnlyTheSdkVersion) {
  TWMAFile& w = Read({asf::Text(u"WMFSDKVersion", u"11.0.5721.5145")});
  EXPECT_FALSE(w.FHasTags);
  EXPECT_EQ(w.FEncoder, "11.0.5721.5145");
  EXPECT_TRUE(w.FValid);
}

TEST_F(WMAFileTest, PictureRules) {
  std::string apic = std::string("\0image/jpeg\0\x03\0", 14) + "\xFF\xD8JPEG";
  std::string wm_back = test::Bytes({4}) + test::LE32(3) + asf::W(u"image/png") + asf::W(u"") + "BAK";
  std::string wm_front = test::Bytes({3}) + test::LE32(5) + asf::W(u"image/jpeg") + asf::W(u"d") + "FRONT";
  struct Case {
    const char* What;
    std::vector<Descriptor> Descriptors;
    std::string Picture;
  } cases[] = {
      {"ID3 with APIC", {asf::Binary(u"ID3", asf::Id3WithApic(apic))}, apic},
      {"APIC declared past the data", {asf::Binary(u"ID3", asf::Id3WithApic(apic, 4000))}, ""},
      {"ID3 without APIC", {asf::Binary(u"ID3", "ID3" + test::Fill(40))}, ""},
      {"ID3 beats WM/Picture", {asf::Binary(u"WM/Picture", wm_front), asf::Binary(u"ID3", asf::Id3WithApic(apic))}, apic},
      {"first WM/Picture", {asf::Binary(u"WM/Picture", wm_back)},
       std::string("\x01image/png\0\x04\xFF\xFE\0\0BAK", 19)},
      {"a front cover wins",
       {asf::Binary(u"WM/Picture", wm_back), asf::Binary(u"wm/picture", wm_front)},
       std::string("\x01image/jpeg\0\x03\xFF\xFE", 15) + asf::W(u"d") + "FRONT"},
      {"WM/Picture data past its value", {asf::Binary(u"WM/Picture", wm_front.substr(0, wm_front.size() - 1))}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    TWMAFile& w = Read(c.Descriptors);
    EXPECT_EQ(w.FPicture, c.Picture);
    EXPECT_EQ(w.FHasPicture, !c.Picture.empty());
  }
}

TEST(WMAFile, ExtractApicBody) {
  auto extract = [](const std::string& s) {
    return TWMAFile::ExtractApicBody(reinterpret_cast<const uint8_t*>(s.data()), s.size());
  };
  std::string body = "0123456789ABCDEF";
  EXPECT_EQ(extract(asf::Id3WithApic(body)), body);
  EXPECT_EQ(extract("ID3" + test::Fill(10)), "") << "shorter than 20 bytes";
  EXPECT_EQ(extract("XYZ" + asf::Id3WithApic(body).substr(3)), "");
  EXPECT_EQ(extract(asf::Id3WithApic("abc", 9) + test::Fill(20)), "") << "frame size below 10";
  EXPECT_EQ(extract(asf::Id3WithApic(body, 17)), "") << "body one byte past the data";
  EXPECT_EQ(TWMAFile::ExtractApicBody(nullptr, 100), "");
}

// Stream values and durations: a stated play time is used as it is; an
// estimate loses 4 seconds; nothing below 0.
TEST_F(WMAFileTest, Durations) {
  struct Case {
    std::string File;
    int Duration;
  } cases[] = {
      {asf::File({asf::FileProperties(static_cast<uint64_t>(65.6e7), 3100, 128000), asf::StreamProperties(2, 44100, 16000)}),
       62},  // 62.5 s, rounded to the even neighbour
      {asf::File({asf::FileProperties(0, 0, 128000), asf::StreamProperties(2, 44100, 16000)}) , 0},  // tiny file
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(wma_.ReadHeader(dir_.Write("d.wma", c.File)));
    EXPECT_EQ(wma_.FDuration, c.Duration);
  }
  std::string estimated = asf::File({asf::FileProperties(0, 0, 128000), asf::StreamProperties(2, 44100, 16000)});
  estimated += test::Fill(1000000 - estimated.size());
  ASSERT_TRUE(wma_.ReadHeader(dir_.Write("e.wma", estimated)));
  EXPECT_EQ(wma_.FDuration, 58) << "62.5 - 4 = 58.5, rounded to even";
  EXPECT_EQ(wma_.FFileSize, 977);
}

// Implausible stream values but readable attributes: valid, with no stream
// values, not even those of the file read before.
TEST_F(WMAFileTest, AttributesWithoutStreamValues) {
  ASSERT_TRUE(wma_.ReadHeader(test::Fixture("wma/tagged.wma")));
  ASSERT_EQ(wma_.FBitRate, 64);
  std::string file = asf::File({asf::FileProperties(30000000, 0, 128000), asf::StreamProperties(12, 44100, 16000),
                                asf::ExtendedContent({asf::Text(u"Title", u"x")})});
  EXPECT_TRUE(wma_.ReadHeader(dir_.Write("i.wma", file)));
  EXPECT_TRUE(wma_.FValid);
  EXPECT_EQ(wma_.FTitle, "x");
  EXPECT_EQ(wma_.FDuration, 0);
  EXPECT_EQ(wma_.FBitRate, 0);
  EXPECT_EQ(wma_.FSampleRate, 0);
  EXPECT_EQ(wma_.FChannelMode, "");
  EXPECT_EQ(wma_.FFileSize, 0) << "a file under 512 bytes";
}

TEST_F(WMAFileTest, NeitherSourceDelivers) {
  ASSERT_TRUE(wma_.ReadHeader(test::Fixture("wma/tagged.wma")));
  EXPECT_FALSE(wma_.ReadHeader(dir_.Write("x.wma", test::Fill(3000, 0x20))));
  EXPECT_FALSE(wma_.FValid);
  EXPECT_EQ(wma_.FTitle, "");
  EXPECT_FALSE(wma_.FHasPicture);
  EXPECT_EQ(wma_.FBitRate, 0);
  EXPECT_FALSE(wma_.ReadHeader(dir_.File("missing.wma")));
}

}  // namespace
