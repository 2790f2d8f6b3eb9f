#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tagbridge/ogg_comment_editor.h"
#include "tagbridge/orva_tags.h"
#include "tagbridge/ogg_test_util.h"

namespace {

const std::string kXiphVendor = "Xiph.Org libVorbis I 20200704 (Reducing Environment)";

std::string OggFixture(const std::string& name) { return test::Fixture("ogg/" + name); }

// The entries of the current comment block.
std::vector<std::string> Entries(const OggTagsInfo& tags) {
  std::vector<std::string> out;
  const char* p = tags.Comments;
  for (int i = 0; p != nullptr && i < tags.Count; ++i) {
    out.emplace_back(p);
    p += out.back().size() + 1;
  }
  return out;
}

// One read through the interface, ended when the object goes.
struct Read {
  explicit Read(const std::string& path) { OGG_BeginReadTags(path.c_str()); }
  ~Read() { OGG_EndReadTags(); }
  const OggHeaderInfo& Header() const { return *OGG_GetHeaderInfo(); }
  const OggTagsInfo& Tags() const { return *OGG_GetTagsInfo(); }
};

void ExpectEmptyRecords() {
  ASSERT_NE(OGG_GetHeaderInfo(), nullptr);
  ASSERT_NE(OGG_GetTagsInfo(), nullptr);
  const OggHeaderInfo& h = *OGG_GetHeaderInfo();
  EXPECT_EQ(h.Valid, 0);
  EXPECT_EQ(h.Channels, 0);
  EXPECT_EQ(h.SampleRate, 0);
  EXPECT_EQ(h.NominalBitrate, 0);
  EXPECT_EQ(h.FileSize, 0);
  EXPECT_EQ(h.Duration, 0);
  EXPECT_EQ(OGG_GetTagsInfo()->Count, 0);
  EXPECT_EQ(OGG_GetTagsInfo()->Comments, nullptr);
  EXPECT_EQ(OGG_GetTagsInfo()->Vendor, nullptr);
}

TEST(OggRead, GettersGiveNullOutsideARead) {
  EXPECT_EQ(OGG_GetHeaderInfo(), nullptr);
  EXPECT_EQ(OGG_GetTagsInfo(), nullptr);
  OGG_EndReadTags();  // with no read open: nothing happens
  OGG_BeginReadTags(OggFixture("mono.ogg").c_str());
  EXPECT_NE(OGG_GetHeaderInfo(), nullptr);
  EXPECT_EQ(OGG_GetHeaderInfo(), OGG_GetHeaderInfo());
  OGG_EndReadTags();
  EXPECT_EQ(OGG_GetHeaderInfo(), nullptr);
  EXPECT_EQ(OGG_GetTagsInfo(), nullptr);
}

TEST(OggRead, UnreadableInputsLeaveEmptyRecords) {
  test::TempDir dir;
  const std::string not_ogg = dir.Write("song.ogg", std::string(10000, 'x'));
  const std::string empty = dir.Write("empty.ogg", "");
  const std::string header_only = dir.Write("cut.ogg", test::ReadAll(OggFixture("mono.ogg")).substr(0, 200));
  for (const std::string& path : {not_ogg, empty, header_only, dir.File("missing.ogg"), dir.Path().string(),
                                  std::string()}) {
    OGG_BeginReadTags(path.c_str());
    ExpectEmptyRecords();
    OGG_EndReadTags();
  }
  OGG_BeginReadTags(nullptr);
  ExpectEmptyRecords();
  OGG_EndReadTags();
}

TEST(OggRead, TwoCommentsMakeAnEighteenByteBlock) {
  Read read(OggFixture("two_comments.ogg"));
  ASSERT_EQ(read.Tags().Count, 2);
  const char expected[18] = {'T', 'I', 'T', 'L', 'E', '=', 'a', 0, 'A', 'R', 'T', 'I', 'S', 'T', '=', 'b', 0, 0};
  EXPECT_EQ(std::memcmp(read.Tags().Comments, expected, sizeof expected), 0);
  EXPECT_EQ(std::string(read.Tags().Vendor), kXiphVendor);
}

struct StreamCase {
  const char* file;
  int32_t channels;
  int32_t rate;
  int32_t nominal;
  int32_t duration;  // the true length, truncated to whole seconds
  int32_t count;
};

TEST(OggRead, StreamValuesAndDurationOfEachFixture) {
  const StreamCase cases[] = {
      {"tagged_stereo.ogg", 2, 22050, 30000, 2, 11},  // 2.5 s
      {"mono.ogg", 1, 8000, 8000, 1, 2},              // 1.2 s, 3 056 bytes: shorter than one chunk
      {"six_channels.ogg", 6, 22050, 96000, 1, 1},    // 1.0 s
      {"long_lyrics.ogg", 1, 8000, 8000, 1, 2},       // comment header over several pages
      {"chained.ogg", 1, 8000, 8000, 1, 1},           // first stream 1.2 s, second 2 s
      {"multiplexed.ogg", 1, 8000, 14000, 1, 2},      // interleaved with an 11 kHz stream
      {"no_comments.ogg", 1, 8000, 8000, 1, 0},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.file);
    Read read(OggFixture(c.file));
    const OggHeaderInfo& h = read.Header();
    EXPECT_EQ(h.Valid, 1);
    EXPECT_EQ(h.Channels, c.channels);
    EXPECT_EQ(h.SampleRate, c.rate);
    EXPECT_EQ(h.NominalBitrate, c.nominal);
    EXPECT_EQ(h.FileSize, static_cast<int32_t>(test::ReadAll(OggFixture(c.file)).size()));
    EXPECT_EQ(h.Duration, c.duration);
    EXPECT_EQ(read.Tags().Count, c.count);
    EXPECT_EQ(static_cast<int>(Entries(read.Tags()).size()), c.count);
  }
}

TEST(OggRead, NamesAndTextComeThroughAsStored) {
  {
    Read read(OggFixture("utf8_title.ogg"));
    // Names are not case-folded; characters outside the BMP come through.
    EXPECT_EQ(Entries(read.Tags()),
              (std::vector<std::string>{"title=A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF0\xA0\x80\x80",
                                        "artist=\xC3\x9Cn\xC3\xAF" "c\xC3\xB6" "d\xC3\xA9"}));
  }
  {
    Read read(OggFixture("long_lyrics.ogg"));
    std::vector<std::string> entries = Entries(read.Tags());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "title=Long Lyrics");
    EXPECT_EQ(entries[1].rfind("LYRICS=Line 0000 of the long lyrics", 0), 0u);
    EXPECT_EQ(entries[1].size(), 7u + 339u + 340u * 57u);
    EXPECT_TRUE(entries[1].ends_with("Line 0339 of the long lyrics, la la la la la la la la la."));
  }
  {
    Read read(OggFixture("multiplexed.ogg"));
    EXPECT_EQ(Entries(read.Tags()), (std::vector<std::string>{"title=Multiplexed One", "encoder=Lavc libvorbis"}));
    EXPECT_EQ(std::string(read.Tags().Vendor), "ffmpeg");
  }
}

TEST(OggRead, NoCommentsAndEmptyVendor) {
  {
    Read read(OggFixture("no_comments.ogg"));
    EXPECT_EQ(read.Tags().Count, 0);
    EXPECT_EQ(read.Tags().Comments, nullptr);
    ASSERT_NE(read.Tags().Vendor, nullptr);
    EXPECT_EQ(std::string(read.Tags().Vendor), kXiphVendor);
  }
  {
    Read read(OggFixture("empty_vendor.ogg"));
    EXPECT_EQ(read.Header().Valid, 1);
    EXPECT_EQ(read.Tags().Vendor, nullptr);
    EXPECT_EQ(Entries(read.Tags()), std::vector<std::string>{"title=No Vendor"});
  }
}

TEST(OggRead, BeginAgainWithoutEndReplacesTheRecords) {
  OGG_BeginReadTags(OggFixture("six_channels.ogg").c_str());
  OGG_BeginReadTags(OggFixture("two_comments.ogg").c_str());
  EXPECT_EQ(OGG_GetHeaderInfo()->Channels, 1);
  EXPECT_EQ(Entries(*OGG_GetTagsInfo()), (std::vector<std::string>{"TITLE=a", "ARTIST=b"}));
  OGG_BeginReadTags("/nonexistent/file.ogg");
  ExpectEmptyRecords();
  OGG_EndReadTags();
  EXPECT_EQ(OGG_GetHeaderInfo(), nullptr);
}

// two_comments.ogg with the value "a" of TITLE=a replaced by other bytes:
// malformed UTF-8 comes out as U+FFFD, a zero byte ends the comment.
TEST(OggRead, CommentBytesThatAreNotPlainText) {
  struct Case {
    char byte;
    const char* title;
  } cases[] = {{'\xFF', "TITLE=\xEF\xBF\xBD"}, {'\xC3', "TITLE=\xEF\xBF\xBD"}, {'\0', "TITLE="}};
  test::TempDir dir;
  for (const Case& c : cases) {
    std::string bytes = test::ReadAll(OggFixture("two_comments.ogg"));
    oggtest::Page page = oggtest::Pages(bytes).at(1);
    size_t at = bytes.find("TITLE=a", page.offset);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 6] = c.byte;
    oggtest::FixChecksum(bytes, page);
    Read read(dir.Write("patched.ogg", bytes));
    EXPECT_EQ(read.Header().Valid, 1);
    EXPECT_EQ(read.Tags().Count, 2);
    EXPECT_EQ(Entries(read.Tags()), (std::vector<std::string>{c.title, "ARTIST=b"}));
  }
}

// The header pages of mono.ogg (identification; comment and setup) without
// any audio page: no page states a play time.
std::string HeaderPagesOnly(const std::string& bytes) {
  std::vector<oggtest::Page> pages = oggtest::Pages(bytes);
  return bytes.substr(0, pages.at(2).offset);
}

TEST(OggRead, WithoutAGranulePositionTheNominalRateGivesTheDuration) {
  test::TempDir dir;
  std::string bytes = HeaderPagesOnly(test::ReadAll(OggFixture("mono.ogg")));
  bytes += std::string(40000 - bytes.size(), '\0');  // 40 000 bytes at 8 000 bit/s: 40 s, also for mono
  Read read(dir.Write("headers.ogg", bytes));
  EXPECT_EQ(read.Header().Valid, 1);
  EXPECT_EQ(read.Header().Channels, 1);
  EXPECT_EQ(read.Header().Duration, 40);
}

TEST(OggRead, WithoutGranuleOrUsableNominalRateTheDurationIsUnknown) {
  test::TempDir dir;
  for (uint32_t nominal : {0u, 999u, 0xFFFFFFFFu}) {
    std::string bytes = HeaderPagesOnly(test::ReadAll(OggFixture("mono.ogg")));
    oggtest::Page first = oggtest::Pages(bytes).at(0);
    // Identification header: 01 "vorbis", version (4), channels (1), rate (4),
    // maximum (4), nominal (4), minimum (4) bit rates.
    std::memcpy(&bytes[first.header_length + 20], &nominal, 4);
    oggtest::FixChecksum(bytes, first);
    Read read(dir.Write("nominal.ogg", bytes));
    EXPECT_EQ(read.Header().Valid, 1);
    EXPECT_EQ(read.Header().NominalBitrate, static_cast<int32_t>(nominal));
    EXPECT_EQ(read.Header().Duration, -1) << nominal;
  }
}

TEST(OggRead, DurationRule) {
  struct Case {
    int64_t granule;
    int32_t rate;
    int64_t size;
    int32_t nominal;
    int32_t duration;
  } cases[] = {
      {88200, 44100, 1411200, 128000, 2},                   // granule wins
      {88199, 44100, 0, 0, 1},                              // truncated
      {int64_t(44100) * 3600 * 20, 44100, 0, 0, 72000},     // 20 hours: no 32-bit overflow
      {-1, 44100, 1411200, 128000, 88},                     // estimate, for every channel count
      {-1, 44100, 1411200, 1000, 11289},
      {-1, 44100, 1411200, 999, -1},
      {-1, 44100, 1411200, 0, -1},
      {-1, 44100, 1411200, -5, -1},
      {10, 0, 1411200, 128000, 88},                         // no rate: the granule means nothing
  };
  for (const Case& c : cases)
    EXPECT_EQ(OggDuration(c.granule, c.rate, c.size, c.nominal), c.duration) << c.granule << " " << c.nominal;
}

TEST(OggRead, TheLastPageOfTheFirstStreamIsFoundBehindOtherStreams) {
  const std::string path = OggFixture("chained.ogg");
  OggInput input;
  ASSERT_TRUE(input.Open(path.c_str()));
  std::vector<oggtest::Page> pages = oggtest::Pages(test::ReadAll(path));
  const oggtest::Page& first = pages.front();
  int64_t last = -1;
  int64_t second_last = -1;
  for (const oggtest::Page& p : pages) (p.serial == first.serial ? last : second_last) = p.granule;
  EXPECT_EQ(LastGranule(input, first.serial), last);
  EXPECT_EQ(last, 9600);  // 1.2 s at 8 kHz
  EXPECT_EQ(LastGranule(input, pages.back().serial), second_last);
  EXPECT_EQ(LastGranule(input, 12345), -1);
}

TEST(OggRead, PagesWithABadChecksumAreNotTaken) {
  test::TempDir dir;
  std::string bytes = test::ReadAll(OggFixture("tagged_stereo.ogg"));
  std::vector<oggtest::Page> pages = oggtest::Pages(bytes);
  ASSERT_EQ(pages.size(), 5u);
  bytes[pages.back().offset + pages.back().length - 1] ^= 0x55;  // last page's body; checksum left
  OggInput input;
  ASSERT_TRUE(input.Open(dir.Write("crc.ogg", bytes).c_str()));
  EXPECT_EQ(LastGranule(input, pages.back().serial), pages[pages.size() - 2].granule);
}

// A read shows nothing from the setup header's codebooks and leaves them
// undecoded: a setup header whose codebooks are damaged still gives the
// values of the identification and comment headers.
TEST(OggRead, ADamagedSetupHeaderLeavesTheOtherHeadersValues) {
  test::TempDir dir;
  std::string bytes = test::ReadAll(OggFixture("tagged_stereo.ogg"));
  size_t setup = bytes.find(std::string("\x05vorbis", 7));
  ASSERT_NE(setup, std::string::npos);
  bytes[setup + 8] = 'X';  // the sync pattern "BCV" of the first codebook
  for (const oggtest::Page& page : oggtest::Pages(bytes))
    if (page.offset <= setup && setup < page.offset + page.length) oggtest::FixChecksum(bytes, page);

  Read read(dir.Write("setup.ogg", bytes));
  const OggHeaderInfo& h = read.Header();
  EXPECT_EQ(h.Valid, 1);
  EXPECT_EQ(h.Channels, 2);
  EXPECT_EQ(h.SampleRate, 22050);
  EXPECT_GT(h.NominalBitrate, 0);
  EXPECT_EQ(read.Tags().Count, 11);
}

TEST(OggRead, EveryCutOfAFileReadsCleanly) {
  test::TempDir dir;
  const std::string bytes = test::ReadAll(OggFixture("tagged_stereo.ogg"));
  const std::string path = dir.File("cut.ogg");
  int valid = 0;
  for (size_t len = 0; len <= bytes.size(); len += 7) {
    test::WriteAll(path, bytes.substr(0, len));
    Read read(path);
    const OggHeaderInfo& h = read.Header();
    if (h.Valid == 1) {
      ++valid;
      EXPECT_EQ(h.Channels, 2);
      EXPECT_EQ(h.FileSize, static_cast<int32_t>(len));
      EXPECT_LE(h.Duration, 2);
      EXPECT_EQ(read.Tags().Count, 11);
    } else {
      EXPECT_EQ(read.Tags().Count, 0);
    }
  }
  EXPECT_GT(valid, 0);
}

}  // namespace
