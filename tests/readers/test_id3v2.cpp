#include <gtest/gtest.h>

#include <random>

#include "readers/id3v2.h"
#include "readers/id3v2_text.h"
#include "support/test_support.h"

namespace {

using test::Bytes;
using test::Fill;

std::string Syncsafe(uint32_t v) {
  return Bytes({static_cast<int>((v >> 21) & 0x7F), static_cast<int>((v >> 14) & 0x7F),
                static_cast<int>((v >> 7) & 0x7F), static_cast<int>(v & 0x7F)});
}

// A tag of the given major version and header flags around body.
std::string Tag(int version, const std::string& body, int flags = 0) {
  return "ID3" + Bytes({version, 0, flags}) + Syncsafe(static_cast<uint32_t>(body.size())) + body;
}

std::string Frame3(const std::string& id, const std::string& data, int flags2 = 0) {
  return id + test::BE32(static_cast<uint32_t>(data.size())) + Bytes({0, flags2}) + data;
}
std::string Frame4(const std::string& id, const std::string& data, int flags2 = 0) {
  return id + Syncsafe(static_cast<uint32_t>(data.size())) + Bytes({0, flags2}) + data;
}
std::string Frame2(const std::string& id, const std::string& data) {
  uint32_t n = static_cast<uint32_t>(data.size());
  return id + Bytes({static_cast<int>(n >> 16), static_cast<int>((n >> 8) & 0xFF), static_cast<int>(n & 0xFF)}) + data;
}

// Loads bytes written to a file, with some audio-like bytes after the tag.
struct Loaded {
  test::TempDir dir;
  TDID3v2 tag;
  bool result = false;
  explicit Loaded(const std::string& bytes) { result = tag.LoadTag(dir.Write("t.mp3", bytes + Fill(64, 0xFF))); }
};

TEST(ID3v2, LatinAndUtf16TitlesAndTheirTrimming) {
  struct Case {
    const char* what;
    std::string data;
    std::string title;
  } cases[] = {
      {"Latin-1 with a zero byte", Bytes({0}) + "Song" + Bytes({0}), "Song"},
      {"Windows-1252 bytes", Bytes({0, 'C', 'a', 'f', 0xE9, ' ', 0x80}), "Café €"},
      {"UTF-16 little-endian", Bytes({1, 0xFF, 0xFE, 'S', 0, 'o', 0, 0, 0}), "So"},
      {"UTF-16 big-endian mark", Bytes({1, 0xFE, 0xFF, 0, 'S', 0, 'o'}), "So"},
      {"UTF-16 without mark is little-endian", Bytes({1, 'S', 0, 'o', 0}), "So"},
      {"a character ending in FF stays", Bytes({1, 0xFF, 0xFE, 0xFF, 0x00, 'e', 0}), "ÿe"},
      {"surrogate pair joined", Bytes({1, 0xFF, 0xFE, 0x34, 0xD8, 0x1E, 0xDD}), "𝄞"},
      {"stops at the first zero unit", Bytes({1, 0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0}), "A"},
      {"encoding 2 big-endian", Bytes({2, 0, 'H', 0, 'i'}), "Hi"},
      {"encoding 2 honours a mark", Bytes({2, 0xFF, 0xFE, 'H', 0, 'i', 0}), "Hi"},
      {"encoding 3 UTF-8", Bytes({3}) + "Grüße " + Bytes({0}), "Grüße"},
      {"invalid UTF-8 becomes U+FFFD", Bytes({3, 'a', 0xC3, 'b'}), "a\xEF\xBF\xBD" "b"},
  };
  for (const Case& c : cases) {
    Loaded l(Tag(3, Frame3("TIT2", c.data)));
    EXPECT_TRUE(l.result);
    EXPECT_EQ(l.tag.Title, c.title) << c.what;
    EXPECT_FALSE(l.tag.HasOtherFrames) << c.what;
  }
}

TEST(ID3v2, Version4Utf8AndUtf16FramesFillTheirFields) {
  Loaded l(Tag(4, Frame4("TIT2", Bytes({3}) + "Tïtle") + Frame4("TPE1", Bytes({2, 0x00, 0xC4})) +
                      Frame4("TDRC", Bytes({0}) + "2021") + Frame4("TRDA", Bytes({0}) + "x")));
  EXPECT_EQ(l.tag.VersionID, 4);
  EXPECT_EQ(l.tag.Title, "Tïtle");
  EXPECT_EQ(l.tag.Artist, "Ä");
  EXPECT_EQ(l.tag.Year, "2021");
  // Version 4 has no recording-dates frame: TRDA is kept as another frame.
  EXPECT_EQ(l.tag.RecordingDates, "");
  ASSERT_EQ(l.tag.OtherFrames.Count(), 1);
  EXPECT_EQ(l.tag.OtherFrames.Item(0).FrameID, "TRDA");
  EXPECT_EQ(l.tag.OtherFrames.Item(0).Description, "TRDA");
}

TEST(ID3v2, AllNamedFieldsOfVersion3) {
  struct Row {
    const char* id;
    std::string TDID3v2::*field;
  } rows[] = {
      {"TALB", &TDID3v2::Album},         {"TPE1", &TDID3v2::Artist},         {"TIT2", &TDID3v2::Title},
      {"TRCK", &TDID3v2::Track},         {"TYER", &TDID3v2::Year},           {"TEXT", &TDID3v2::Lyricist},
      {"TENC", &TDID3v2::EncodedBy},     {"TLAN", &TDID3v2::Language},       {"TCOP", &TDID3v2::Copyright},
      {"TCOM", &TDID3v2::Composer},      {"TOLY", &TDID3v2::OrigLyricist},   {"TOPE", &TDID3v2::OrigArtist},
      {"TOAL", &TDID3v2::OrigAlbum},     {"TIT1", &TDID3v2::ContentGroup},   {"TIT3", &TDID3v2::Subtitle},
      {"TRDA", &TDID3v2::RecordingDates}, {"TPE2", &TDID3v2::Band},          {"TPE3", &TDID3v2::Conductor},
      {"TPE4", &TDID3v2::Remixer},
  };
  std::string body;
  for (const Row& r : rows) body += Frame3(r.id, Bytes({0}) + "v" + r.id);
  Loaded l(Tag(3, body + Frame3("TPE1", Bytes({0}) + "second")));
  for (const Row& r : rows) {
    std::string expected = std::string(r.id) == "TPE1" ? "second" : std::string("v") + r.id;
    EXPECT_EQ(l.tag.*r.field, expected) << r.id;  // a later frame of a row replaces an earlier one
  }
  EXPECT_FALSE(l.tag.HasOtherFrames);
}

TEST(ID3v2, UnknownEncodingAndUnknownFramesGoToOtherFrames) {
  Loaded l(Tag(3, Frame3("TIT2", Bytes({4}) + "x") + Frame3("TXXX", Bytes({0}) + "k" + Bytes({0}) + "v") +
                      Frame3("PRIV", "owner")));
  EXPECT_EQ(l.tag.Title, "");
  ASSERT_EQ(l.tag.OtherFrames.Count(), 3);
  EXPECT_TRUE(l.tag.HasOtherFrames);
  EXPECT_EQ(l.tag.OtherFrames.Item(1).FrameID, "TXXX");
  EXPECT_EQ(l.tag.OtherFrames.Item(1).Data, Bytes({0}) + "k" + Bytes({0}) + "v");  // undecoded
  EXPECT_EQ(l.tag.OtherFrames.Item(2).FrameSize, 5);
}

TEST(ID3v2, CommentsInOrderAndTheOneShown) {
  std::string described = Frame3("COMM", Bytes({0}) + "eng" + "iTunNORM" + Bytes({0}) + " 0000 1111");
  std::string plain = Frame3("COMM", Bytes({0}) + "eng" + Bytes({0}) + "For people");
  Loaded both(Tag(3, described + plain));
  ASSERT_TRUE(both.tag.HasComments);
  EXPECT_EQ(both.tag.GetComment(0), "0000 1111");
  EXPECT_EQ(both.tag.GetComment(1), "For people");
  EXPECT_EQ(both.tag.GetComment(2), "");
  EXPECT_EQ(both.tag.GetComment(-1), "");
  EXPECT_EQ(both.tag.Comments.Item(0).Description, "iTunNORM");
  EXPECT_EQ(both.tag.Comments.Item(0).Language, "eng");
  EXPECT_EQ(both.tag.GetShownComment(), "For people");

  Loaded only_described(Tag(3, described));
  EXPECT_EQ(only_described.tag.GetShownComment(), "0000 1111");
  Loaded none(Tag(3, Frame3("TIT2", Bytes({0}) + "x")));
  EXPECT_EQ(none.tag.GetShownComment(), "");
  EXPECT_FALSE(none.tag.HasComments);
}

TEST(ID3v2, DescribedTextsFindTheTerminatorOfTheirEncoding) {
  struct Case {
    const char* what;
    std::string data;
    std::string text;
    std::string description;
  } cases[] = {
      {"Latin-1", Bytes({0}) + "eng" + "x" + Bytes({0}) + "Hello", "Hello", "x"},
      {"UTF-16 with marks", Bytes({1}) + "eng" + Bytes({0xFF, 0xFE, 0x63, 0, 0, 0, 0xFF, 0xFE, 0x54, 0}), "T", "c"},
      // The zero unit is searched at whole units: the zero bytes of 41 00 | 00 01 are no terminator.
      {"UTF-16 unit alignment", Bytes({1}) + "eng" + Bytes({0xFF, 0xFE, 'A', 0, 0, 1, 0, 0, 'B', 0}), "B", "AĀ"},
      {"UTF-16 big-endian", Bytes({2}) + "eng" + Bytes({0, 'd', 0, 0, 0, 'B', 0, 'E'}), "BE", "d"},
      {"UTF-8", Bytes({3}) + "eng" + "dé" + Bytes({0}) + "tëxt", "tëxt", "dé"},
      {"no terminator", Bytes({0}) + "eng" + "only", "only", ""},
      {"shorter than the language", Bytes({0, 'e'}), "", ""},
  };
  for (const Case& c : cases) {
    TDescribedText parts = SplitDescribed(c.data, true);
    EXPECT_EQ(parts.Text, c.text) << c.what;
    EXPECT_EQ(parts.Description, c.description) << c.what;
  }
  EXPECT_EQ(DecodeDescribed("", true), "");
}

TEST(ID3v2, LinkAddressIsLatinWhateverTheDescription) {
  Loaded latin(Tag(3, Frame3("WXXX", Bytes({0}) + "home" + Bytes({0}) + "http://example.org/")));
  EXPECT_EQ(latin.tag.Link, "http://example.org/");
  Loaded utf16(Tag(3, Frame3("WXXX", Bytes({1, 0xFF, 0xFE, 'h', 0, 0, 0}) + "http://x.org/")));
  EXPECT_EQ(utf16.tag.Link, "http://x.org/");
}

TEST(ID3v2, GenreNumbersAndReferences) {
  struct Case {
    const char* text;
    const char* genre;
  } cases[] = {
      {"(13)", "Pop"},      {"(13)Pop", "Pop"},   {"Pop", "Pop"},          {"13", "Pop"},
      {"147", "Synthpop"},  {"(17)Rock", "Rock"}, {"(13)(17)", "Pop"},     {"(200)", ""},
      {"200", "200"},       {"(RX)", ""},         {"Rock (Live)", "Rock (Live)"}, {"(13)Pop (Live)", "Pop (Live)"},
      {"(13", "(13"},       {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveGenre(c.text), c.genre) << c.text;
  Loaded l(Tag(3, Frame3("TCON", Bytes({0}) + "(13)")));
  EXPECT_EQ(l.tag.Genre, "Pop");
}

TEST(ID3v2, BpmIsAPlainDecimal) {
  struct Case {
    std::string data;
    uint16_t bpm;
  } cases[] = {
      {Bytes({0}) + "120", 120},
      {Bytes({0}) + "12a", 0},
      {Bytes({0}) + "120.5", 0},
      {Bytes({3}) + " 98 ", 98},
      {Bytes({1, 0xFF, 0xFE, '1', 0, '2', 0}), 0},
  };
  for (const Case& c : cases) {
    Loaded l(Tag(3, Frame3("TBPM", c.data)));
    EXPECT_EQ(l.tag.BPM, c.bpm);
  }
}

TEST(ID3v2, CompressedFramesAreDropped) {
  for (int version : {3, 4}) {
    auto frame = version == 3 ? Frame3 : Frame4;
    Loaded l(Tag(version, frame("TIT2", Bytes({0}) + "zlib", 0x80) + frame("TALB", Bytes({0}) + "Album", 0)));
    EXPECT_EQ(l.tag.Title, "") << version;
    EXPECT_EQ(l.tag.Album, "Album") << version;
    EXPECT_FALSE(l.tag.HasOtherFrames) << version;
  }
}

TEST(ID3v2, FrameFlagsAndSizeAreKept) {
  Loaded l(Tag(3, Frame3("APIC", Bytes({0}) + "image/png" + Bytes({0, 3, 0, 1, 2}), 0x20)));
  ASSERT_EQ(l.tag.Pictures.Count(), 1);
  EXPECT_TRUE(l.tag.HasPicture);
  EXPECT_EQ(l.tag.Pictures.Item(0).FrameFlags, 0x2000);
  EXPECT_EQ(l.tag.Pictures.Item(0).FrameSize, 15);
  EXPECT_EQ(l.tag.GetPicture(0), Bytes({0}) + "image/png" + Bytes({0, 3, 0, 1, 2}));
  EXPECT_EQ(l.tag.GetPicture(1), "");
}

// A loader that leaves pictures unread must find the same frames and
// fields, give the same picture length, and point at bytes in the file that
// are exactly the picture an eager load gives; frames whose stored bytes are
// not the picture (unsynchronised, with a data length, version 2.2) are read
// as before.
TEST(ID3v2, PicturesLeftUnreadPointAtTheirBytes) {
  std::string png = Bytes({0}) + "image/png" + Bytes({0, 3, 0, 0x89, 'P', 'N', 'G', 0xFF, 0x00, 0x01});
  std::string unsynced = Bytes({0}) + "image/png" + Bytes({0, 3, 0, 0x89, 'P', 'N', 'G', 0xFF, 0x00, 0x00, 0x01});
  std::string after3 = Frame3("TIT2", Bytes({0}) + "After");
  std::string after4 = Frame4("TIT2", Bytes({0}) + "After");
  struct Case {
    const char* what;
    std::string tag;
    int pictures;
    bool left_unread;
  } cases[] = {
      {"version 3", Tag(3, Frame3("APIC", png) + after3), 1, true},
      {"version 4", Tag(4, Frame4("APIC", png) + after4), 1, true},
      {"two pictures", Tag(3, Frame3("APIC", png) + Frame3("APIC", png + "x") + after3), 2, true},
      {"frame flags kept", Tag(3, Frame3("APIC", png, 0x20) + after3), 1, true},
      {"version 4 unsynchronised with data length",
       Tag(4, Frame4("APIC", Syncsafe(static_cast<uint32_t>(png.size())) + unsynced, 0x03) + after4), 1, false},
      {"version 3 unsynchronised tag",
       Tag(3, "APIC" + test::BE32(static_cast<uint32_t>(png.size())) + Bytes({0, 0}) + unsynced + after3, 0x80), 1,
       false},
      {"version 2.2", Tag(2, Frame2("PIC", Bytes({0}) + "PNG" + Bytes({3, 0, 0x89})) + Frame2("TT2", Bytes({0}) + "After")),
       1, false},
      {"compressed", Tag(3, Frame3("APIC", png, 0x80) + after3), 0, false},
      {"running past the end of the file",
       Tag(3, after3 + Frame3("TALB", Bytes({0}) + std::string(99, 'a')) + "APIC" + test::BE32(150) + Bytes({0, 0}) + png),
       0, false},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    std::string path = dir.Write("t.mp3", c.tag + Fill(64, 0xFF));
    TDID3v2 eager;
    TDID3v2 lazy;
    lazy.ReadPictureData = false;
    ASSERT_TRUE(eager.LoadTag(path)) << c.what;
    ASSERT_TRUE(lazy.LoadTag(path)) << c.what;
    EXPECT_EQ(lazy.Title, "After") << c.what;
    EXPECT_EQ(lazy.Title, eager.Title) << c.what;
    ASSERT_EQ(eager.Pictures.Count(), c.pictures) << c.what;
    ASSERT_EQ(lazy.Pictures.Count(), c.pictures) << c.what;
    EXPECT_EQ(lazy.HasPicture, eager.HasPicture) << c.what;
    const std::string file = test::ReadAll(path);
    for (int i = 0; i < c.pictures; ++i) {
      const TFrameItem_ID3v2& item = lazy.Pictures.Item(i);
      EXPECT_EQ(item.FrameID, eager.Pictures.Item(i).FrameID) << c.what;
      EXPECT_EQ(item.FrameSize, eager.Pictures.Item(i).FrameSize) << c.what;
      EXPECT_EQ(item.FrameFlags, eager.Pictures.Item(i).FrameFlags) << c.what;
      EXPECT_EQ(lazy.GetPictureSize(i), static_cast<int64_t>(eager.GetPicture(i).size())) << c.what;
      EXPECT_EQ(eager.GetPictureSize(i), static_cast<int64_t>(eager.GetPicture(i).size())) << c.what;
      if (c.left_unread) {
        EXPECT_EQ(lazy.GetPicture(i), "") << c.what;
        ASSERT_GE(item.DataOffset, 0) << c.what;
        EXPECT_EQ(file.substr(static_cast<size_t>(item.DataOffset), static_cast<size_t>(item.FrameSize)),
                  eager.GetPicture(i))
            << c.what;
      } else {
        EXPECT_EQ(item.DataOffset, -1) << c.what;
        EXPECT_EQ(lazy.GetPicture(i), eager.GetPicture(i)) << c.what;
      }
    }
  }
}

TEST(ID3v2, ExtendedHeaderIsSkippedBySize) {
  // Version 3: size 6 not counting itself, flags, padding size.
  Loaded v3(Tag(3, test::BE32(6) + Fill(6) + Frame3("TIT2", Bytes({0}) + "Three"), 0x40));
  EXPECT_EQ(v3.tag.Title, "Three");
  // Version 4: syncsafe size 6 counting itself, flag byte count, flags.
  Loaded v4(Tag(4, Syncsafe(6) + Bytes({1, 0}) + Frame4("TIT2", Bytes({0}) + "Four"), 0x40));
  EXPECT_EQ(v4.tag.Title, "Four");
  // A size past the tag: no frames, but the tag is there.
  Loaded bad(Tag(3, test::BE32(5000) + Frame3("TIT2", Bytes({0}) + "x"), 0x40));
  EXPECT_TRUE(bad.tag.Exists);
  EXPECT_EQ(bad.tag.Title, "");
}

TEST(ID3v2, UnsynchronisationIsUndone) {
  // Version 3: the whole tag; the frame size counts the bytes as they were
  // before the zero bytes were put in.
  std::string picture = Bytes({0}) + "image/jpeg" + Bytes({0, 3, 0, 0xFF, 0xD8, 0xFF, 0xE0});
  std::string unsynced = Bytes({0}) + "image/jpeg" + Bytes({0, 3, 0, 0xFF, 0x00, 0xD8, 0xFF, 0x00, 0xE0});
  std::string body = "APIC" + test::BE32(static_cast<uint32_t>(picture.size())) + Bytes({0, 0}) + unsynced +
                     Frame3("TIT2", Bytes({0}) + "After");
  Loaded v3(Tag(3, body, 0x80));
  EXPECT_EQ(v3.tag.GetPicture(0), picture);
  EXPECT_EQ(v3.tag.Title, "After");

  // Version 4: per frame, with a data length indicator before the data.
  std::string data = Syncsafe(static_cast<uint32_t>(picture.size())) + unsynced;
  Loaded v4(Tag(4, Frame4("APIC", data, 0x03) + Frame4("TIT2", Bytes({0}) + "After")));
  EXPECT_EQ(v4.tag.GetPicture(0), picture);
  EXPECT_EQ(v4.tag.Title, "After");

  Loaded untouched(Tag(3, Frame3("APIC", unsynced)));  // without the flag FF 00 stays
  EXPECT_EQ(untouched.tag.GetPicture(0), unsynced);
}

TEST(ID3v2, Version4SizesAreSyncsafeUnlessOnlyThePlainSizeFits) {
  std::string long_text = Bytes({0}) + std::string(299, 'a');  // 300 bytes: syncsafe 02 2C, plain 00 00 01 2C
  Loaded syncsafe(Tag(4, Frame4("TIT2", long_text) + Frame4("TALB", Bytes({0}) + "Next")));
  EXPECT_EQ(syncsafe.tag.Title, std::string(299, 'a'));
  EXPECT_EQ(syncsafe.tag.Album, "Next");

  std::string plain_body = "TIT2" + test::BE32(300) + Bytes({0, 0}) + long_text + Frame4("TALB", Bytes({0}) + "Next");
  Loaded plain(Tag(4, plain_body));
  EXPECT_EQ(plain.tag.Title, std::string(299, 'a'));
  EXPECT_EQ(plain.tag.Album, "Next");

  // 200 written plainly is C8, no syncsafe byte at all.
  std::string text200 = Bytes({0}) + std::string(199, 'b');
  Loaded high_bit(Tag(4, "TIT2" + test::BE32(200) + Bytes({0, 0}) + text200 + Frame4("TALB", Bytes({0}) + "N")));
  EXPECT_EQ(high_bit.tag.Title, std::string(199, 'b'));
  EXPECT_EQ(high_bit.tag.Album, "N");
}

TEST(ID3v2, Version22FramesAndPicture) {
  std::string pic = Bytes({0}) + "JPG" + Bytes({3}) + "d" + Bytes({0, 0xFF, 0xD8, 0xFF});
  Loaded l(Tag(2, Frame2("TT2", Bytes({0}) + "Old") + Frame2("TP1", Bytes({1, 0xFF, 0xFE, 'A', 0})) +
                      Frame2("COM", Bytes({0}) + "eng" + Bytes({0}) + "c2") + Frame2("PIC", pic) +
                      Frame2("ULT", Bytes({0}) + "eng" + Bytes({0}) + "la la")));
  EXPECT_EQ(l.tag.VersionID, 2);
  EXPECT_EQ(l.tag.Title, "Old");
  EXPECT_EQ(l.tag.Artist, "A");
  EXPECT_EQ(l.tag.GetComment(0), "c2");
  EXPECT_EQ(l.tag.GetLyrics(0), "la la");
  ASSERT_TRUE(l.tag.HasPicture);
  EXPECT_EQ(l.tag.Pictures.Item(0).FrameID, "PIC");
  EXPECT_EQ(l.tag.Pictures.Item(0).FrameFlags, 0);
  EXPECT_EQ(l.tag.GetPicture(0), Bytes({0}) + "image/jpeg" + Bytes({0, 3}) + "d" + Bytes({0, 0xFF, 0xD8, 0xFF}));
}

TEST(ID3v2, BadSizesEndOrSkipQuietly) {
  // A zero size skips only the header; the next header follows it.
  Loaded zero(Tag(3, Frame3("TPE1", "") + Frame3("TIT2", Bytes({0}) + "t")));
  EXPECT_EQ(zero.tag.Title, "t");
  // A size not below the tag size skips only the header too.
  Loaded huge(Tag(3, "TPE1" + test::BE32(0x7FFFFFFF) + Bytes({0, 0}) + Frame3("TIT2", Bytes({0}) + "t")));
  EXPECT_EQ(huge.tag.Title, "t");
  EXPECT_EQ(huge.tag.Artist, "");
  // A size past the end of the file ends the loop; earlier frames stay.
  std::string body = Frame3("TIT2", Bytes({0}) + "kept") + "TALB" + test::BE32(30) + Bytes({0, 0, 0}) + "ab";
  test::TempDir dir;
  TDID3v2 tag;
  std::string bytes = "ID3" + Bytes({3, 0, 0}) + Syncsafe(static_cast<uint32_t>(body.size())) + body;
  EXPECT_TRUE(tag.LoadTag(dir.Write("cut.mp3", bytes)));
  EXPECT_EQ(tag.Title, "kept");
  EXPECT_EQ(tag.Album, "");
  // Padding ends the loop.
  Loaded padded(Tag(3, Frame3("TIT2", Bytes({0}) + "p") + Fill(100)));
  EXPECT_EQ(padded.tag.Title, "p");
}

TEST(ID3v2, HeaderCases) {
  test::TempDir dir;
  TDID3v2 tag;
  EXPECT_FALSE(tag.LoadTag(dir.File("missing.mp3")));
  EXPECT_EQ(tag.FileName, dir.File("missing.mp3"));
  EXPECT_FALSE(tag.LoadTag(dir.Path().string()));
  EXPECT_FALSE(tag.LoadTag(dir.Write("empty.mp3", "")));
  EXPECT_FALSE(tag.LoadTag(dir.Write("short.mp3", "ID3\x03")));
  EXPECT_FALSE(tag.Exists);
  EXPECT_TRUE(tag.LoadTag(dir.Write("none.mp3", Fill(20, 0xFF))));
  EXPECT_FALSE(tag.Exists);

  Loaded v5(Tag(5, Frame3("TIT2", Bytes({0}) + "x")));
  EXPECT_TRUE(v5.tag.Exists);
  EXPECT_EQ(v5.tag.VersionID, 5);
  EXPECT_EQ(v5.tag.Title, "");

  // Tag size larger than the file: size 0, no frames.
  EXPECT_TRUE(tag.LoadTag(dir.Write("big.mp3", "ID3" + Bytes({3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F}) +
                                                   Frame3("TIT2", Bytes({0}) + "x"))));
  EXPECT_TRUE(tag.Exists);
  EXPECT_EQ(tag.Size, 0);
  EXPECT_EQ(tag.Title, "");

  // A new read forgets the old one.
  Loaded first(Tag(3, Frame3("TIT2", Bytes({0}) + "x") + Frame3("COMM", Bytes({0}) + "eng" + Bytes({0}) + "c")));
  ASSERT_TRUE(first.tag.LoadTag(first.dir.Write("plain.mp3", Fill(100))));
  EXPECT_EQ(first.tag.Title, "");
  EXPECT_EQ(first.tag.Comments.Count(), 0);
  EXPECT_FALSE(first.tag.HasComments);
}

TEST(ID3v2, EveryTruncationOfARealTagIsReadSafely) {
  std::string whole = test::ReadAll(test::Fixture("mpeg/eyed3_v24_utf8.mp3"));
  test::TempDir dir;
  std::string path = dir.File("cut.mp3");
  TDID3v2 tag;
  for (size_t len = 0; len <= 1400; len += (len < 40 ? 1 : 3)) {
    test::WriteAll(path, whole.substr(0, len));
    EXPECT_EQ(tag.LoadTag(path), len >= 10) << len;
    // The tag claims 1322 bytes: a shorter file has no tag size and no frames.
    if (len < 1322) {
      EXPECT_EQ(tag.Title, "") << len;
    }
  }
  EXPECT_EQ(tag.Title, "Tïtle ♪");
}

// Random frame bytes behind every combination of version and header
// flags: the reader must neither crash nor read past the file, and must
// keep reporting the tag.
TEST(ID3v2, RandomFramesUnderEveryFlagCombination) {
  std::mt19937 random(12345);
  test::TempDir dir;
  std::string path = dir.File("noise.mp3");
  TDID3v2 tag;
  for (int round = 0; round < 300; ++round) {
    int version = 2 + round % 3;
    int flags = (round / 3) % 8;
    std::string body(static_cast<size_t>(random() % 600), '\0');
    for (char& c : body) c = static_cast<char>(random() % 4 == 0 ? 'A' + random() % 26 : random() % 256);
    if (!body.empty()) body[0] = 'T';
    test::WriteAll(path, Tag(version, body, (flags & 1 ? 0x80 : 0) | (flags & 2 ? 0x40 : 0) | (flags & 4 ? 0x10 : 0)));
    ASSERT_TRUE(tag.LoadTag(path)) << round;
    EXPECT_TRUE(tag.Exists) << round;
    EXPECT_EQ(tag.VersionID, version) << round;
  }
}

TEST(ID3v2, FilesWrittenByTaggers) {
  TDID3v2 tag;
  ASSERT_TRUE(tag.LoadTag(test::Fixture("mpeg/id3v2_v23_latin1.mp3")));
  EXPECT_EQ(tag.VersionID, 3);
  EXPECT_EQ(tag.Artist, "Björk Guðmundsdóttir");
  EXPECT_EQ(tag.Title, "Café del Mar");
  EXPECT_EQ(tag.Genre, "Pop");
  EXPECT_EQ(tag.Track, "3/12");
  EXPECT_EQ(tag.Composer, "Composér");
  EXPECT_EQ(tag.GetComment(0), "Naïve comment");

  ASSERT_TRUE(tag.LoadTag(test::Fixture("mpeg/eyed3_v24_utf8.mp3")));
  EXPECT_EQ(tag.VersionID, 4);
  EXPECT_EQ(tag.Artist, "Ärtist ☃");
  EXPECT_EQ(tag.Year, "2021");
  EXPECT_EQ(tag.BPM, 120);
  EXPECT_EQ(tag.Conductor, "Cönductor");
  EXPECT_EQ(tag.GetLyrics(0), "First line\nSecond line ☃");
  ASSERT_EQ(tag.Comments.Count(), 2);
  EXPECT_EQ(tag.GetShownComment(), "Plain comment ✓");
  // The cover comes first in this tag; its syncsafe size (779) differs
  // from the plain reading of its bytes.
  ASSERT_TRUE(tag.HasPicture);
  EXPECT_EQ(tag.Pictures.Item(0).FrameSize, 779);

  ASSERT_TRUE(tag.LoadTag(test::Fixture("mpeg/eyed3_v23_utf16.mp3")));
  EXPECT_EQ(tag.VersionID, 3);
  EXPECT_EQ(tag.Title, "ÿes 𝄞 clef");
  EXPECT_EQ(tag.Album, "Ωmega");
  EXPECT_EQ(tag.Year, "1999");
  EXPECT_EQ(tag.GetComment(0), "Ünïcode comment");

  ASSERT_TRUE(tag.LoadTag(test::Fixture("mpeg/bigcover_v24.mp3")));
  EXPECT_GT(tag.Pictures.Item(0).FrameSize, 100 * 1024);
  EXPECT_EQ(tag.Title, "After The Cover");
  EXPECT_EQ(tag.Artist, "Big Cover Artist");
  EXPECT_EQ(tag.Album, "Big Cover Album");
  EXPECT_EQ(tag.Track, "9");
  EXPECT_EQ(tag.Genre, "Rock");
  EXPECT_EQ(tag.Year, "2010");
  EXPECT_EQ(tag.GetComment(0), "after the picture");
}

}  // namespace
