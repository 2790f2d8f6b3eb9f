#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/test_support.h"
#include "tagbridge/ogg_comment_editor.h"
#include "tagbridge/ogg_test_util.h"
#include "tagbridge/orva_tags.h"

namespace {

namespace fs = std::filesystem;

const std::string kXiphVendor = "Xiph.Org libVorbis I 20200704 (Reducing Environment)";

std::string OggFixture(const std::string& name) { return test::Fixture("ogg/" + name); }

struct Comments {
  std::vector<std::string> entries;
  std::string vendor;
  int valid = 0;
};

Comments ReadBack(const std::string& path) {
  Comments out;
  OGG_BeginReadTags(path.c_str());
  const OggTagsInfo* tags = OGG_GetTagsInfo();
  out.valid = OGG_GetHeaderInfo()->Valid;
  const char* p = tags->Comments;
  for (int i = 0; p != nullptr && i < tags->Count; ++i) {
    out.entries.emplace_back(p);
    p += out.entries.back().size() + 1;
  }
  out.vendor = tags->Vendor != nullptr ? tags->Vendor : "";
  OGG_EndReadTags();
  return out;
}

int32_t Rewrite(const std::string& path, const std::vector<std::pair<const char*, const char*>>& tags,
                const char* vendor = nullptr) {
  OGG_BeginWriteTags();
  for (const auto& [name, value] : tags) OGG_AddTag(name, value);
  if (vendor != nullptr) OGG_AddVendor(vendor);
  return OGG_EndWriteTags(path.c_str());
}

std::string Copy(const test::TempDir& dir, const std::string& fixture) {
  return dir.Write(fixture, test::ReadAll(OggFixture(fixture)));
}

// Checks that after holds the audio packets of before's first stream byte
// for byte, and that every granule position it states is right: the decoded
// sample count at its packet, and for the last packet the input's own last
// position (which trims the final block).
void ExpectSameAudio(const std::string& before, const std::string& after) {
  std::vector<oggtest::Packet> old_packets = oggtest::StreamPackets(before, oggtest::Pages(before).at(0).serial);
  std::vector<oggtest::Packet> new_packets = oggtest::StreamPackets(after, oggtest::Pages(after).at(0).serial);
  ASSERT_GT(old_packets.size(), 3u);
  ASSERT_EQ(new_packets.size(), old_packets.size());
  EXPECT_TRUE(new_packets[0] == old_packets[0]);  // identification header
  EXPECT_TRUE(new_packets[2] == old_packets[2]);  // setup header
  std::vector<int64_t> samples = oggtest::DecodedSampleCounts(old_packets);
  ASSERT_EQ(samples.size(), old_packets.size() - 3);
  int stated = 0;
  for (size_t i = 3; i < old_packets.size(); ++i) {
    EXPECT_TRUE(new_packets[i].bytes == old_packets[i].bytes) << "packet " << i;
    if (new_packets[i].granule == -1) continue;
    ++stated;
    int64_t expected = i + 1 == old_packets.size() ? old_packets[i].granule : samples[i - 3];
    EXPECT_EQ(new_packets[i].granule, expected) << "packet " << i;
  }
  EXPECT_GT(stated, 0);
  EXPECT_EQ(new_packets.back().granule, old_packets.back().granule);
}

// The bytes from the first page of a stream other than the first one.
std::string AfterFirstStream(const std::string& bytes) {
  std::vector<oggtest::Page> pages = oggtest::Pages(bytes);
  for (const oggtest::Page& p : pages)
    if (p.serial != pages.at(0).serial) return bytes.substr(p.offset);
  return {};
}

TEST(OggWrite, TagListCallsFollowTheOpenList) {
  EXPECT_EQ(OGG_AddTag("TITLE", "x"), nullptr);  // no list open
  OGG_AddVendor("ignored");
  EXPECT_EQ(OGG_EndWriteTags(OggFixture("mono.ogg").c_str()), 0);

  OGG_BeginWriteTags();
  EXPECT_NE(OGG_AddTag(nullptr, "x"), nullptr);
  EXPECT_EQ(OGG_AddTag("TITLE", nullptr), nullptr);
  EXPECT_NE(OGG_AddTag("TITLE", "x"), nullptr);
  EXPECT_EQ(OGG_EndWriteTags(nullptr), 0);
  EXPECT_EQ(OGG_AddTag("TITLE", "x"), nullptr);  // the end freed the list, whatever its result
}

TEST(OggWrite, EndWithoutBeginTouchesNoFile) {
  test::TempDir dir;
  const std::string path = Copy(dir, "mono.ogg");
  const std::string before = test::ReadAll(path);
  EXPECT_EQ(OGG_EndWriteTags(path.c_str()), 0);
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(OggWrite, EntriesAreFilteredAndKeptInOrder) {
  test::TempDir dir;
  const std::string path = Copy(dir, "tagged_stereo.ogg");
  ASSERT_EQ(Rewrite(path, {{"ARTIST", "A"},
                           {"Title", "B"},
                           {"COMMENT", "x\n"},
                           {"N\xC3\xA4ME", "dropped: byte above 0x7D"},
                           {"TAB\tNAME", "dropped: control character"},
                           {"NAME~", "dropped: 0x7E"},
                           {"EMPTY", ""},
                           {"", "value"},
                           {"EMOJI", "\xF0\x9F\x98\x80 \xF0\xA0\x80\x80"},
                           {"BROKEN", "a\xFF" "b"}}),
            1);
  Comments back = ReadBack(path);
  EXPECT_EQ(back.valid, 1);
  EXPECT_EQ(back.entries, (std::vector<std::string>{"ARTIST=A", "Title=B", "COMMENT=x", "=value",
                                                    "EMOJI=\xF0\x9F\x98\x80 \xF0\xA0\x80\x80",
                                                    "BROKEN=a\xEF\xBF\xBD" "b"}));
  EXPECT_EQ(back.vendor, kXiphVendor);
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

// Every comment read back is written again as it was, a cover in a
// METADATA_BLOCK_PICTURE comment of several kilobytes included.
TEST(OggWrite, CommentsReadBackAreWrittenAsTheyWere) {
  test::TempDir dir;
  const std::string path = dir.Write("cover.ogg", test::ReadAll(test::Fixture("modern/cover.ogg")));
  Comments before = ReadBack(path);
  ASSERT_EQ(before.entries.size(), 3u);
  std::vector<std::pair<std::string, std::string>> split;
  for (const std::string& e : before.entries) split.emplace_back(e.substr(0, e.find('=')), e.substr(e.find('=') + 1));
  EXPECT_EQ(split.back().first, "METADATA_BLOCK_PICTURE");
  EXPECT_GT(split.back().second.size(), 250u);
  OGG_BeginWriteTags();
  for (const auto& [name, value] : split) OGG_AddTag(name.c_str(), value.c_str());
  ASSERT_EQ(OGG_EndWriteTags(path.c_str()), 1);
  Comments after = ReadBack(path);
  EXPECT_EQ(after.entries, before.entries);
  EXPECT_EQ(after.vendor, before.vendor);
}

TEST(OggWrite, AddCommentRules) {
  struct Case {
    std::string entry;
    bool added;
  } cases[] = {
      {"TITLE=a", true},       {"TITLE=a=b", true}, {"=v", true},          {" ~=v", false},
      {"TITLE=", false},       {"TITLE", false},    {"TI\x1FTLE=a", false}, {"TITLE=a\n", true},
      {"TITLE=\n", false},     {"\x7D=v", true},    {"\x80=v", false},      {"", false},
  };
  for (const Case& c : cases) {
    OggCommentEditor editor;
    EXPECT_EQ(editor.AddComment(c.entry), c.added) << c.entry;
    EXPECT_EQ(editor.Comments().comments, c.added ? 1 : 0) << c.entry;
  }
}

TEST(OggWrite, CommentPacketLayout) {
  OggCommentEditor editor;
  ASSERT_TRUE(editor.AddComment("TITLE=a"));
  ASSERT_TRUE(editor.AddComment("ARTIST=b"));
  ogg_packet packet;
  std::vector<unsigned char> storage;
  OggCommentEditor::BuildCommentPacket(editor.Comments(), "v", packet, storage);
  const std::string expected = test::Bytes({3}) + "vorbis" + test::LE32(1) + "v" + test::LE32(2) + test::LE32(7) +
                               "TITLE=a" + test::LE32(8) + "ARTIST=b" + test::Bytes({1});
  EXPECT_EQ(std::string(reinterpret_cast<char*>(packet.packet), static_cast<size_t>(packet.bytes)), expected);
  EXPECT_EQ(packet.b_o_s, 0);
  EXPECT_EQ(packet.e_o_s, 0);
  EXPECT_EQ(packet.granulepos, 0);
}

TEST(OggWrite, EveryFixtureKeepsItsAudioAndGranulePositions) {
  const char* fixtures[] = {"tagged_stereo.ogg", "mono.ogg",        "six_channels.ogg", "utf8_title.ogg",
                            "no_comments.ogg",   "empty_vendor.ogg", "long_lyrics.ogg",  "chained.ogg",
                            "comment_cases.ogg", "two_comments.ogg", "lyrics_empty.ogg", "small_pages.ogg"};
  for (const char* fixture : fixtures) {
    SCOPED_TRACE(fixture);
    test::TempDir dir;
    const std::string path = Copy(dir, fixture);
    const std::string before = test::ReadAll(path);
    ASSERT_EQ(Rewrite(path, {{"TITLE", "New \xE2\x82\xAC"}, {"ALBUM", "Album"}}), 1);
    const std::string after = test::ReadAll(path);

    Comments back = ReadBack(path);
    EXPECT_EQ(back.valid, 1);
    EXPECT_EQ(back.entries, (std::vector<std::string>{"TITLE=New \xE2\x82\xAC", "ALBUM=Album"}));
    EXPECT_EQ(back.vendor, ReadBack(OggFixture(fixture)).vendor);

    ExpectSameAudio(before, after);
    EXPECT_TRUE(oggtest::Pages(after).back().eos);
    EXPECT_EQ(AfterFirstStream(after), AfterFirstStream(before));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
  }
}

TEST(OggWrite, ChainedFileKeepsItsSecondStreamByteForByte) {
  test::TempDir dir;
  const std::string path = Copy(dir, "chained.ogg");
  const std::string second = AfterFirstStream(test::ReadAll(path));
  ASSERT_GT(second.size(), 1000u);
  ASSERT_EQ(Rewrite(path, {{"TITLE", "Rewritten"}}), 1);
  const std::string after = test::ReadAll(path);
  ASSERT_GT(after.size(), second.size());
  EXPECT_EQ(after.substr(after.size() - second.size()), second);
  EXPECT_EQ(ReadBack(path).entries, std::vector<std::string>{"TITLE=Rewritten"});
}

TEST(OggWrite, BytesAfterTheLastPageAreKept) {
  // Some taggers append an ID3v1 block to Ogg files; damaged files may end in
  // a cut page. Neither may be lost by rewriting the comments.
  test::TempDir dir;
  const std::string id3v1 = "TAG" + std::string(124, 'x') + "\x0D";
  for (const std::string& tail : {id3v1, std::string("OggS\0\x02 cut page"), std::string("O")}) {
    const std::string path = dir.Write("tail.ogg", test::ReadAll(OggFixture("mono.ogg")) + tail);
    ASSERT_EQ(Rewrite(path, {{"TITLE", "With Tail"}}), 1);
    const std::string after = test::ReadAll(path);
    ASSERT_GT(after.size(), tail.size());
    EXPECT_EQ(after.substr(after.size() - tail.size()), tail);
    EXPECT_EQ(ReadBack(path).entries, std::vector<std::string>{"TITLE=With Tail"});
  }
  // Bytes between the streams of a chained file stay where they were.
  const std::string chained = test::ReadAll(OggFixture("chained.ogg"));
  const std::string second = AfterFirstStream(chained);
  const std::string junk = "not a page";
  const std::string path = dir.Write("gap.ogg", chained.substr(0, chained.size() - second.size()) + junk + second);
  ASSERT_EQ(Rewrite(path, {{"TITLE", "Gap"}}), 1);
  const std::string after = test::ReadAll(path);
  EXPECT_EQ(after.substr(after.size() - second.size() - junk.size()), junk + second);
}

TEST(OggWrite, ASymbolicLinkStaysALink) {
  test::TempDir dir;
  fs::create_directory(dir.Path() / "store");
  const std::string real = dir.Write("store/song.ogg", test::ReadAll(OggFixture("mono.ogg")));
  const std::string link = dir.File("link.ogg");
  fs::create_symlink(real, link);
  ASSERT_EQ(Rewrite(link, {{"TITLE", "Through The Link"}}), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBack(real).entries, std::vector<std::string>{"TITLE=Through The Link"});
  EXPECT_FALSE(fs::exists(real + ".tmp"));
  EXPECT_FALSE(fs::exists(link + ".tmp"));
}

TEST(OggWrite, LongCommentsAndVendor) {
  test::TempDir dir;
  const std::string path = Copy(dir, "mono.ogg");
  const std::string lyrics(100000, 'l');  // more than one page can hold
  ASSERT_EQ(Rewrite(path, {{"LYRICS", lyrics.c_str()}}, "My Vendor \xC3\xA9"), 1);
  Comments back = ReadBack(path);
  EXPECT_EQ(back.vendor, "My Vendor \xC3\xA9");
  ASSERT_EQ(back.entries.size(), 1u);
  EXPECT_TRUE(back.entries[0] == "LYRICS=" + lyrics);
  ExpectSameAudio(test::ReadAll(OggFixture("mono.ogg")), test::ReadAll(path));

  // An empty list removes every comment and keeps the vendor; so does an
  // empty vendor text.
  ASSERT_EQ(Rewrite(path, {}, ""), 1);
  back = ReadBack(path);
  EXPECT_TRUE(back.entries.empty());
  EXPECT_EQ(back.vendor, "My Vendor \xC3\xA9");
}

TEST(OggWrite, BeginAgainStartsAFreshList) {
  test::TempDir dir;
  const std::string path = Copy(dir, "mono.ogg");
  OGG_BeginWriteTags();
  OGG_AddTag("OLD", "entry");
  OGG_AddVendor("old vendor");
  OGG_BeginWriteTags();
  OGG_AddTag("NEW", "entry");
  ASSERT_EQ(OGG_EndWriteTags(path.c_str()), 1);
  Comments back = ReadBack(path);
  EXPECT_EQ(back.entries, std::vector<std::string>{"NEW=entry"});
  EXPECT_EQ(back.vendor, kXiphVendor);
}

TEST(OggWrite, TheRewrittenFileKeepsItsPermissions) {
  test::TempDir dir;
  const std::string path = Copy(dir, "mono.ogg");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(Rewrite(path, {{"TITLE", "x"}}), 1);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Each failing rewrite leaves the file byte for byte and no temporary file.
void ExpectRefused(const std::string& path, int32_t result) {
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(OggWrite, FilesThatAreNotOggVorbisAreRefused) {
  test::TempDir dir;
  const std::string mono = test::ReadAll(OggFixture("mono.ogg"));
  const std::vector<std::string> inputs = {
      "", std::string(5000, 'x'), std::string(100, 'x'), mono.substr(0, 58), mono.substr(0, 2000),
      test::ReadAll(OggFixture("multiplexed.ogg")), test::ReadAll(test::Fixture("modern/theora.ogg"))};
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string path = dir.Write("in" + std::to_string(i) + ".ogg", inputs[i]);
    ExpectRefused(path, Rewrite(path, {{"TITLE", "x"}}));
    EXPECT_EQ(test::ReadAll(path), inputs[i]) << i;
  }
  ExpectRefused(dir.File("missing.ogg"), Rewrite(dir.File("missing.ogg"), {{"TITLE", "x"}}));
  EXPECT_FALSE(fs::exists(dir.File("missing.ogg")));
  EXPECT_EQ(Rewrite("", {{"TITLE", "x"}}), 0);
}

TEST(OggWrite, EachRefusalRecordsItsCause) {
  test::TempDir dir;
  const std::string mono = test::ReadAll(OggFixture("mono.ogg"));
  std::string not_vorbis = mono.substr(0, 58);
  not_vorbis[28] = 'X';  // the packet type (1) of the identification header
  oggtest::FixChecksum(not_vorbis, oggtest::Pages(not_vorbis).at(0));
  struct Case {
    std::string bytes;
    const char* error;
  } cases[] = {
      {"", "Input truncated or empty."},
      {std::string(5000, 'x'), "Input is not an Ogg bitstream."},
      {not_vorbis, "Ogg bitstream does not contain vorbis data."},
      {mono.substr(0, 2000), "EOF before end of vorbis headers."},
      {test::ReadAll(OggFixture("multiplexed.ogg")), "Multiplexed Ogg streams are not supported."},
  };
  for (const Case& c : cases) {
    const std::string path = dir.Write("in.ogg", c.bytes);
    OggCommentEditor editor;
    EXPECT_FALSE(editor.Rewrite(path.c_str(), OggTagList{}));
    EXPECT_EQ(editor.LastError(), c.error);
    EXPECT_EQ(test::ReadAll(path), c.bytes);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
  }
}

TEST(OggWrite, TheTemporaryFileIsNamedAfterThePath) {
  test::TempDir dir;
  const std::string path = Copy(dir, "mono.ogg");
  const std::string before = test::ReadAll(path);
  fs::create_directory(path + ".tmp");  // song.ogg.tmp cannot be created as a file
  EXPECT_EQ(Rewrite(path, {{"TITLE", "x"}}), 0);
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_TRUE(fs::is_directory(path + ".tmp"));
  fs::remove(path + ".tmp");

  // A link named like the temporary file does not lead the rewrite elsewhere.
  const std::string other = dir.Write("other.txt", "keep me");
  fs::create_symlink(other, path + ".tmp");
  EXPECT_EQ(Rewrite(path, {{"TITLE", "x"}}), 0);
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_EQ(test::ReadAll(other), "keep me");
}

// Runs a rewrite in a child process after prepare() and gives its result.
template <typename Prepare>
int RewriteInChild(const std::string& path, Prepare prepare) {
  pid_t pid = fork();
  if (pid == 0) {
    if (!prepare()) _exit(99);
    _exit(Rewrite(path, {{"TITLE", "Rewritten"}, {"LYRICS", std::string(30000, 'z').c_str()}}));
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(OggWrite, AFolderThatIsNotWritableLeavesTheFileAlone) {
  test::TempDir dir;
  const fs::path folder = dir.Path() / "read-only";
  fs::create_directory(folder);
  const std::string path = (folder / "song.ogg").string();
  test::WriteAll(path, test::ReadAll(OggFixture("tagged_stereo.ogg")));
  const std::string before = test::ReadAll(path);
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  // Root writes into any folder, so the child gives that up first.
  auto give_up_root = [] { return geteuid() != 0 || setuid(65534) == 0; };
  int result = RewriteInChild(path, give_up_root);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_FALSE(fs::exists(path + ".tmp"));

  // The same child rewrites the file once the folder is writable.
  ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
  EXPECT_EQ(RewriteInChild(path, give_up_root), 1);
  EXPECT_NE(test::ReadAll(path), before);
}

TEST(OggWrite, AFailureHalfWayLeavesTheFileAlone) {
  // The last limit is no limit at all: the same child then succeeds.
  for (rlim_t limit : {rlim_t(0), rlim_t(100), rlim_t(5000), rlim_t(20000), RLIM_INFINITY}) {
    SCOPED_TRACE(limit);
    test::TempDir dir;
    const std::string path = Copy(dir, "long_lyrics.ogg");
    const std::string before = test::ReadAll(path);
    int result = RewriteInChild(path, [limit] {
      std::signal(SIGXFSZ, SIG_IGN);
      struct rlimit rl {limit, limit};
      return setrlimit(RLIMIT_FSIZE, &rl) == 0;
    });
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    if (limit == RLIM_INFINITY) {
      EXPECT_EQ(result, 1);
      EXPECT_NE(test::ReadAll(path), before);
    } else {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(test::ReadAll(path), before);
    }
  }
}

}  // namespace

namespace {

TEST(OggWrite, EveryCutOfAFileIsRewrittenOrRefusedCleanly) {
  test::TempDir dir;
  const std::string bytes = test::ReadAll(OggFixture("small_pages.ogg"));
  int rewritten = 0;
  for (size_t len = 0; len <= bytes.size(); len += 61) {
    const std::string input = bytes.substr(0, len);
    const std::string path = dir.Write("cut.ogg", input);
    int32_t result = Rewrite(path, {{"TITLE", "cut"}});
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    if (result == 1) {
      ++rewritten;
      Comments back = ReadBack(path);
      EXPECT_EQ(back.valid, 1) << len;
      EXPECT_EQ(back.entries, std::vector<std::string>{"TITLE=cut"}) << len;
    } else {
      EXPECT_EQ(test::ReadAll(path), input) << len;
    }
  }
  EXPECT_GT(rewritten, 100);
}

}  // namespace
