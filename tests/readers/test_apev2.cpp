#include <gtest/gtest.h>

#include "readers/apev2.h"
#include "support/test_support.h"

namespace {

constexpr uint32_t kBinary = 0x2;

std::string Item(const std::string& key, const std::string& value, uint32_t flags = 0) {
  return test::LE32(static_cast<uint32_t>(value.size())) + test::LE32(flags) + key + std::string(1, '\0') + value;
}

std::string Footer(int32_t version, int32_t tag_size, int32_t count) {
  return "APETAGEX" + test::LE32(static_cast<uint32_t>(version)) + test::LE32(static_cast<uint32_t>(tag_size)) +
         test::LE32(static_cast<uint32_t>(count)) + test::LE32(0) + test::Fill(8);
}

// Audio bytes, the items, and a footer that counts them.
std::string Tagged(const std::string& items, int32_t count, int32_t version = 2000) {
  return test::Fill(64, 0x55) + items + Footer(version, static_cast<int32_t>(items.size()) + 32, count);
}

std::string ID3v1Block() { return "TAG" + test::Fill(125, ' '); }

TEST(APEv2, ReadsTheMutagenTagWithTextAndBinaryItems) {
  TDAPEv2 ape;
  ASSERT_TRUE(ape.LoadTag(test::Fixture("apeflac/tagged.ape")));
  ASSERT_TRUE(ape.Exists);
  EXPECT_EQ(ape.Version, 2000);
  EXPECT_EQ(ape.Slot(apeArtist), "Ape Artist");
  EXPECT_EQ(ape.Slot(apeTitle), "T\xC3\xAFtle \xE2\x9C\x93");  // UTF-8 stays UTF-8
  EXPECT_EQ(ape.Slot(apeTrack), "4/10");
  EXPECT_EQ(ape.Slot(apeComment), "padded comment");
  EXPECT_EQ(ape.Slot(apeLyrics), "line one\r\nline two");
  EXPECT_EQ(ape.Slot(apeDebutAlbum), "First Album");
  EXPECT_EQ(ape.Slot(apeRecordDate), "2023-05-01");
  EXPECT_EQ(ape.Slot(apeMood), "calm");
  EXPECT_TRUE(ape.HasLyrics);
  EXPECT_TRUE(ape.HasPicture);
  // The picture item keeps its bytes, zero bytes included.
  const std::string& apic = ape.Slot(apeAPIC);
  EXPECT_EQ(apic.substr(0, 18), std::string("\0image/png\0\3cover\0", 18));
  EXPECT_EQ(apic.substr(18, 4), "\x89PNG");
  ASSERT_EQ(ape.OtherItems.size(), 1u);
  EXPECT_EQ(ape.OtherItems[0].Key, "Catalog");
  EXPECT_EQ(ape.OtherItems[0].Value, "CAT-001");
  EXPECT_FALSE(ape.HasID3v1);
}

TEST(APEv2, ReadsVersion1000AndATagBeforeAnID3v1Tag) {
  TDAPEv2 ape;
  ASSERT_TRUE(ape.LoadTag(test::Fixture("apeflac/v1000.mpc")));
  EXPECT_TRUE(ape.Exists);
  EXPECT_EQ(ape.Version, 1000);
  EXPECT_EQ(ape.Slot(apeTitle), "Old Tag");
  EXPECT_EQ(ape.Slot(apeTrack), "12");

  ASSERT_TRUE(ape.LoadTag(test::Fixture("apeflac/id3v1-after.ape")));
  EXPECT_TRUE(ape.Exists);
  EXPECT_TRUE(ape.HasID3v1);
  EXPECT_EQ(ape.ID3v1Size, 128);
  EXPECT_EQ(ape.Slot(apeTitle), "Before ID3v1");
  // Nothing of the earlier file survives the read.
  EXPECT_TRUE(ape.Slot(apeTrack).empty());
}

TEST(APEv2, ItemRules) {
  test::TempDir dir;
  TDAPEv2 ape;
  std::string items = Item("Title", "first") + Item("Title", "second") + Item("Album", "") + Item("Artist", "  \tA  ") +
                      Item("Genre", std::string(" \x01 bin \0 ", 9), kBinary) + Item("Year", "19\xFF" "9") + Item("Odd", "x", 0x6) +
                      Item(" Composer ", "C") + Item("ARTIST", "caps");
  ASSERT_TRUE(ape.LoadTag(dir.Write("a.ape", Tagged(items, 9))));
  ASSERT_TRUE(ape.Exists);
  EXPECT_EQ(ape.Slot(apeTitle), "second");                      // the last one wins
  EXPECT_TRUE(ape.Slot(apeAlbum).empty());                      // an empty value is skipped ...
  EXPECT_EQ(ape.Slot(apeArtist), "A");                          // ... and the next item still read
  EXPECT_EQ(ape.Slot(apeGenre), std::string(" \x01 bin \0 ", 9));  // binary: untrimmed
  EXPECT_EQ(ape.Slot(apeYear), "19\xEF\xBF\xBD" "9");           // malformed UTF-8 becomes U+FFFD
  EXPECT_EQ(ape.Slot(apeComposer), "C");                        // keys are trimmed
  ASSERT_EQ(ape.OtherItems.size(), 2u);
  EXPECT_EQ(ape.OtherItems[0].Flags, 0x6u);                     // flags 110: reserved, read as text
  EXPECT_EQ(ape.OtherItems[0].Value, "x");
  EXPECT_EQ(ape.OtherItems[1].Key, "ARTIST");                   // keys are compared case-sensitively
  EXPECT_FALSE(ape.HasPicture);
  EXPECT_FALSE(ape.HasLyrics);
}

TEST(APEv2, WhereTheTagIsLookedFor) {
  test::TempDir dir;
  TDAPEv2 ape;
  std::string tag = Tagged(Item("Title", "T"), 1);
  struct Case {
    const char* name;
    std::string bytes;
    bool result;
    bool exists;
  } cases[] = {
      {"plain", tag, true, true},
      {"before ID3v1", tag + ID3v1Block(), true, true},
      {"before filler", tag + test::Fill(16), true, false},
      {"no tag", test::Fill(200), true, false},
      {"31 bytes", test::Fill(31), false, false},
      {"footer alone", Footer(2000, 32, 0), true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ape.LoadTag(dir.Write("t.ape", c.bytes)), c.result);
    EXPECT_EQ(ape.Exists, c.exists);
    EXPECT_EQ(ape.Slot(apeTitle), c.exists && c.bytes.size() > 32 ? "T" : "");
  }
  EXPECT_FALSE(ape.LoadTag(dir.File("missing.ape")));
  EXPECT_FALSE(ape.Exists);
}

// Damaged lists keep the items before the damage; nothing is read outside
// the tag.
TEST(APEv2, DamagedItemLists) {
  test::TempDir dir;
  TDAPEv2 ape;
  std::string good = Item("Title", "T");
  struct Case {
    const char* name;
    std::string bytes;
    bool title;
  } cases[] = {
      {"count larger than the items", Tagged(good, 1000), true},
      {"count negative", Tagged(good, -1), false},
      {"value size larger than the tag", Tagged(good + test::LE32(0x7FFFFFF0) + test::LE32(0) + "Album" +
                                                    std::string(1, '\0') + "abc", 2), true},
      {"negative value size", Tagged(good + test::LE32(0xFFFFFFFF) + test::LE32(0) + "Album" + std::string(1, '\0'), 2),
       true},
      {"key without its zero byte", Tagged(good + test::LE32(1) + test::LE32(0) + "Albumxyz", 2), true},
      {"cut in the size fields", Tagged(good + test::LE32(1), 2), true},
      {"tag size before the file start", test::Fill(4) + good + Footer(2000, 0x7FFFFFFF, 1), false},
      {"tag size negative", test::Fill(64) + good + Footer(2000, -100, 1), false},
      {"tag size smaller than the footer", test::Fill(64) + good + Footer(2000, 8, 1), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(ape.LoadTag(dir.Write("d.ape", c.bytes)));
    EXPECT_TRUE(ape.Exists);
    EXPECT_EQ(ape.Slot(apeTitle), c.title ? "T" : "");
    EXPECT_TRUE(ape.Slot(apeAlbum).empty());
  }
}

// Every tail of a real tagged file: the footer is found as long as it is
// there, and the items only when the whole tag is.
TEST(APEv2, EveryTailOfARealFile) {
  test::TempDir dir;
  std::string whole = test::ReadAll(test::Fixture("apeflac/tagged.ape"));
  TDAPEv2 full;
  ASSERT_TRUE(full.LoadTag(test::Fixture("apeflac/tagged.ape")));
  int32_t tag_size = static_cast<int32_t>(static_cast<uint8_t>(full.Footer[12]) | static_cast<uint8_t>(full.Footer[13]) << 8);
  TDAPEv2 ape;
  for (size_t len = 0; len <= whole.size(); len += 7) {
    std::string path = dir.Write("tail.ape", whole.substr(whole.size() - len));
    bool read = ape.LoadTag(path);
    ASSERT_EQ(read, len >= 32) << len;
    ASSERT_EQ(ape.Exists, len >= 32) << len;
    bool complete = static_cast<int64_t>(len) >= tag_size;
    ASSERT_EQ(ape.Slots, complete ? full.Slots : decltype(ape.Slots){}) << len;
  }
}

}  // namespace
