#include <gtest/gtest.h>

#include "readers/id3v1.h"
#include "readers/tag_location.h"
#include "support/test_support.h"

namespace {

// A 128-byte ID3v1 block with fields placed at their offsets.
std::string Block(const std::string& title, const std::string& comment30, uint8_t genre) {
  std::string b = "TAG" + test::Fill(125);
  b.replace(3, title.size(), title);
  b.replace(33, 6, "Artist");
  b.replace(63, 5, "Album");
  b.replace(93, 4, "2001");
  b.replace(97, comment30.size(), comment30);
  b[127] = static_cast<char>(genre);
  return b;
}

TEST(ID3v1, ReadsVersionTrackAndCommentByBytes125And126) {
  struct Case {
    const char* name;
    std::string comment30;
    uint8_t version;
    std::string comment;
    uint8_t track;
  } cases[] = {
      {"v1.0 zeros", "Hello", 1, "Hello", 0},
      {"v1.1 track", "Hello" + test::Fill(23) + test::Bytes({0, 7}), 2, "Hello", 7},
      {"space then letter", std::string(28, 'c') + " x", 2, std::string(28, 'c'), 'x'},
      {"two spaces", std::string(28, 'c') + "  ", 1, std::string(28, 'c'), 0},
      {"full 30", std::string(30, 'c'), 1, std::string(30, 'c'), 0},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.Write("t.mp3", "audio" + Block("Title", c.comment30, 13));
    TID3v1 tag;
    ASSERT_TRUE(tag.LoadTag(path)) << c.name;
    EXPECT_TRUE(tag.Exists) << c.name;
    EXPECT_EQ(tag.VersionID, c.version) << c.name;
    EXPECT_EQ(tag.Comment, c.comment) << c.name;
    EXPECT_EQ(tag.Track, c.track) << c.name;
    EXPECT_EQ(tag.Title, "Title");
    EXPECT_EQ(tag.Artist, "Artist");
    EXPECT_EQ(tag.Album, "Album");
    EXPECT_EQ(tag.Year, "2001");
    EXPECT_EQ(tag.GenreID, 13);
  }
}

TEST(ID3v1, TrimsOnlyTrailingLowBytes) {
  test::TempDir dir;
  std::string title = test::Bytes({0x41, 0x42, 0x00, 0x43, 0x44}) + "  \t";
  std::string path = dir.Write("t.mp3", Block(title, "", 255));
  TID3v1 tag;
  ASSERT_TRUE(tag.LoadTag(path));
  EXPECT_EQ(tag.Title, test::Bytes({0x41, 0x42, 0x00, 0x43, 0x44}));
  EXPECT_EQ(tag.GenreID, 255);
}

TEST(ID3v1, SizesAtTheEdges) {
  test::TempDir dir;
  TID3v1 tag;
  // Exactly 128 bytes starting with TAG is a tag.
  std::string exact = dir.Write("exact.mp3", Block("x", "", 1));
  EXPECT_TRUE(tag.LoadTag(exact));
  EXPECT_TRUE(tag.Exists);
  EXPECT_TRUE(HasID3v1Tag(exact));
  // 127 bytes: not readable; fields as reset, also after a tagged file.
  std::string short_file = dir.Write("short.mp3", Block("x", "", 1).substr(1));
  EXPECT_FALSE(tag.LoadTag(short_file));
  EXPECT_FALSE(tag.Exists);
  EXPECT_EQ(tag.Title, "");
  EXPECT_EQ(tag.GenreID, 255);
  EXPECT_FALSE(HasID3v1Tag(short_file));
  // Readable, no tag.
  std::string plain = dir.Write("plain.mp3", test::Fill(300, 0x55));
  EXPECT_TRUE(tag.LoadTag(plain));
  EXPECT_FALSE(tag.Exists);
  EXPECT_FALSE(HasID3v1Tag(plain));
  // Missing file and folder.
  EXPECT_FALSE(tag.LoadTag(dir.File("missing.mp3")));
  EXPECT_FALSE(tag.LoadTag(dir.Path().string()));
  EXPECT_FALSE(HasID3v1Tag(dir.Path().string()));
}

TEST(ID3v1, RealFileTaggedByATool) {
  TID3v1 tag;
  ASSERT_TRUE(tag.LoadTag(test::Fixture("foundation/v1only.mp3")));
  EXPECT_TRUE(tag.Exists);
  EXPECT_EQ(tag.VersionID, 2);
  EXPECT_EQ(tag.Title, "Stone Song");
  EXPECT_EQ(tag.Artist, "The Artist");
  EXPECT_EQ(tag.Album, "Blue Album");
  EXPECT_EQ(tag.Year, "1999");
  EXPECT_EQ(tag.Comment, "Nice one");
  EXPECT_EQ(tag.Track, 7);
  EXPECT_EQ(tag.GenreID, 13);
}

TEST(Genres, NamesAndTheirLimits) {
  EXPECT_EQ(GenreName(0), "Blues");
  EXPECT_EQ(GenreName(13), "Pop");
  EXPECT_EQ(GenreName(79), "Hard Rock");
  EXPECT_EQ(GenreName(80), "Folk");
  EXPECT_EQ(GenreName(92), "Progessive Rock");
  EXPECT_EQ(GenreName(147), "Synthpop");
  EXPECT_EQ(GenreName(148), "");
  EXPECT_EQ(GenreName(255), "");
}

TEST(TagLocation, TagSizeOfTakesSizeBytesWholeAndAddsTheFooter) {
  struct Case {
    std::array<uint8_t, 4> size;
    uint8_t flags;
    int64_t file_size;
    int64_t expected;
  } cases[] = {
      {{0, 0, 2, 1}, 0x00, 1000, 267},
      {{0, 0, 2, 1}, 0x10, 1000, 277},
      {{0, 0, 2, 1}, 0x00, 266, 0},  // larger than the file
      {{0, 0, 2, 1}, 0x00, 267, 267},
      {{0, 0, 0, 0x80}, 0x00, 1000, 138},  // the top bit is not masked
      {{0xFF, 0xFF, 0xFF, 0xFF}, 0x10, INT64_MAX, 255LL * (1 << 21) + 255 * (1 << 14) + 255 * 128 + 255 + 20},
  };
  for (const auto& c : cases) {
    TagInfo info;
    info.Header = {'I', 'D', '3', 3, 0, c.flags, c.size[0], c.size[1], c.size[2], c.size[3]};
    info.FileSize = c.file_size;
    EXPECT_EQ(TagSizeOf(info), c.expected);
  }
}

TEST(TagLocation, GetID3v2SizeNeedsTheMarkerAndTenBytes) {
  test::TempDir dir;
  std::string tag = test::Bytes({'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20}) + test::Fill(40);
  EXPECT_EQ(GetID3v2Size(dir.Write("a.mp3", tag)), 30);
  EXPECT_EQ(GetID3v2Size(dir.Write("b.mp3", "ID3\x03")), 0);                          // shorter than 10 bytes
  EXPECT_EQ(GetID3v2Size(dir.Write("c.mp3", "XYZ" + tag.substr(3))), 0);            // no marker
  EXPECT_EQ(GetID3v2Size(dir.Write("d.mp3", tag.substr(0, 10) + test::Fill(5))), 0);  // larger than the file
  EXPECT_EQ(GetID3v2Size(dir.File("missing.mp3")), 0);
  EXPECT_EQ(GetID3v2Size(test::Fixture("foundation/v1v2.mp3")), 0x0d * 128 + 0x3a + 10);
}

// An ID3v2 tag of version 3, size bytes as stored, flags, then body bytes.
std::string Id3v2Tag(size_t body, uint8_t flags = 0, std::initializer_list<int> size_bytes = {}) {
  std::string tag = "ID3" + test::Bytes({3, 0, flags});
  if (size_bytes.size() == 4) {
    tag += test::Bytes(size_bytes);
  } else {
    tag += test::Bytes({static_cast<int>(body >> 21 & 0x7F), static_cast<int>(body >> 14 & 0x7F),
                        static_cast<int>(body >> 7 & 0x7F), static_cast<int>(body & 0x7F)});
  }
  return tag + test::Fill(body + ((flags & 0x10) ? 10 : 0));
}

// A tagger that puts its new tag in front of an old one leaves the audio
// after the last of the tags; a following "ID3" counts only as a whole tag.
TEST(TagLocation, ConsecutiveTagsAtTheStart) {
  test::TempDir dir;
  const std::string audio = "\xFF\xFB" + test::Fill(100);
  struct Case {
    const char* name;
    std::string bytes;
    int64_t size;
  } cases[] = {
      {"two tags", Id3v2Tag(20) + Id3v2Tag(300) + audio, 30 + 310},
      {"three tags", Id3v2Tag(20) + Id3v2Tag(30) + Id3v2Tag(4000) + audio, 30 + 40 + 4010},
      {"a second tag with a footer", Id3v2Tag(20) + Id3v2Tag(30, 0x10) + audio, 30 + 50},
      {"a second tag larger than the file", Id3v2Tag(20) + Id3v2Tag(300).substr(0, 200), 30},
      {"a second header with a size byte above 7F", Id3v2Tag(20) + Id3v2Tag(0, 0, {0, 0, 0x80, 0}) + audio, 30},
      {"a second header cut short", Id3v2Tag(20) + "ID3\x03\x00", 30},
      {"a second tag ending the file", Id3v2Tag(20) + Id3v2Tag(30), 30 + 40},
      {"audio between the tags", Id3v2Tag(20) + audio + Id3v2Tag(30), 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(GetID3v2Size(dir.Write("t.mp3", c.bytes)), c.size);
  }
}

}  // namespace
