// The Windows Media attribute exports: the calling protocol, the records
// they hand out, and what they read from real files.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/asf_builder.h"
#include "support/test_support.h"
#include "tagbridge/orva_tags.h"
#include "tagbridge/wma_test_util.h"

using namespace wmatest;

namespace {

class WmaExports : public ::testing::Test {
 protected:
  void TearDown() override { WMA_End(); }
};

TEST_F(WmaExports, NothingOpenGivesTheFailureValues) {
  WMA_End();  // with nothing open: does nothing
  EXPECT_EQ(WMA_GetTagsCount(), -1);
  EXPECT_EQ(WMA_GetTagByIndex(0), nullptr);
  EXPECT_EQ(WMA_SetTag(P(u"Title"), 1, nullptr, 0), 0);
  WMA_End();
}

TEST_F(WmaExports, FilesThatDoNotOpen) {
  test::TempDir dir;
  std::string not_asf = dir.Write("plain.wma", test::Fill(4096, 0x11));
  std::string empty = dir.Write("empty.wma", "");
  std::string short_file = dir.Write("short.wma", asf::kHeader);
  for (const std::string& path : {dir.File("missing.wma"), not_asf, empty, short_file, dir.Path().string()}) {
    std::u16string wide = U(path);
    EXPECT_EQ(WMA_Begin(P(wide)), 0) << path;
    EXPECT_EQ(WMA_GetTagsCount(), -1) << path;
    EXPECT_EQ(WMA_GetTagByIndex(0), nullptr) << path;
  }
  EXPECT_EQ(WMA_Begin(nullptr), 0);
  EXPECT_EQ(WMA_Begin(P(u"")), 0);
}

TEST_F(WmaExports, OneFileAtATime) {
  std::u16string tagged = U(test::Fixture("wma/tagged.wma"));
  std::u16string other = U(test::Fixture("wma/mono_notags.wma"));
  EXPECT_EQ(WMA_Begin(P(tagged)), static_cast<int32_t>(std::filesystem::file_size(test::Fixture("wma/tagged.wma"))));
  int32_t count = WMA_GetTagsCount();
  EXPECT_EQ(WMA_Begin(P(other)), 0);
  EXPECT_EQ(WMA_GetTagsCount(), count) << "the first file stays open";
  WMA_End();
  EXPECT_EQ(WMA_GetTagsCount(), -1);
  EXPECT_EQ(WMA_Begin(P(other)), static_cast<int32_t>(std::filesystem::file_size(test::Fixture("wma/mono_notags.wma"))));
}

// The attributes of the tagged fixture in file order. mutagen put a Header
// Extension first (a Metadata Object with a second "Author", the Metadata
// Library with "WM/Conductor"), then come the Content Description texts and
// the Extended Content Description descriptors.
TEST_F(WmaExports, TaggedFileInFileOrder) {
  std::vector<Attr> list = List(test::Fixture("wma/tagged.wma"));
  ASSERT_GE(list.size(), 10u);
  EXPECT_EQ(list[0], (Attr{u"Author", 1, W(u"Test Artist")})) << "the Metadata Object record";
  EXPECT_EQ(list[1], (Attr{u"WM/Conductor", 1, W(u"Test Conductor")})) << "the Metadata Library record";
  std::vector<std::u16string> texts;
  for (size_t i = 2; i < 7; ++i) texts.push_back(list[i].Name);
  EXPECT_EQ(texts, (std::vector<std::u16string>{u"Title", u"Author", u"Copyright", u"Description", u"Rating"}));
  EXPECT_EQ(list[2], (Attr{u"Title", 1, W(u"Morning Tone")}));
  EXPECT_EQ(list[4], (Attr{u"Copyright", 1, ""})) << "an empty value has no bytes, its name stays";
  EXPECT_EQ(list[5], (Attr{u"Description", 1, W(u"A comment")}));

  const Attr* track = Find(list, u"WM/TRACK");
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(*track, (Attr{u"WM/TRACK", 0, test::LE32(2)}));
  const Attr* picture = Find(list, u"WM/Picture");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Type, 2);
  EXPECT_EQ(picture->Value.substr(0, 1), "\x03") << "front cover";
  // ffmpeg writes the title a second time, in lower case.
  EXPECT_EQ(*Find(list, u"title"), (Attr{u"title", 1, W(u"Morning Tone")}));
}

TEST_F(WmaExports, RecordLivesUntilTheNextCall) {
  std::vector<Attr> list = List(test::Fixture("wma/tagged.wma"));
  ASSERT_GE(list.size(), 2u);
  std::u16string path = U(test::Fixture("wma/tagged.wma"));
  ASSERT_NE(WMA_Begin(P(path)), 0);
  const WmaAttribute* first = WMA_GetTagByIndex(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Copy(*first), list[0]);
  EXPECT_EQ(first->NameLength, static_cast<int32_t>(list[0].Name.size() + 1)) << "units with the terminator";
  EXPECT_EQ(first->ValueLength, static_cast<int32_t>(list[0].Value.size()));
  const WmaAttribute* second = WMA_GetTagByIndex(1);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Copy(*second), list[1]);
  // Past the count, and the high 16 bits of the index are ignored.
  EXPECT_EQ(WMA_GetTagByIndex(static_cast<uint32_t>(WMA_GetTagsCount())), nullptr);
  const WmaAttribute* wrapped = WMA_GetTagByIndex(0x10001u);
  ASSERT_NE(wrapped, nullptr);
  EXPECT_EQ(Copy(*wrapped), list[1]);
  WMA_End();
  EXPECT_EQ(WMA_GetTagByIndex(0), nullptr);
}

// Paths reach the file system as UTF-8, whatever characters they hold and
// however long they are.
TEST_F(WmaExports, PathsInUtf16) {
  test::TempDir dir;
  std::filesystem::path folder = dir.Path() / u8"Müsik \u2713 \U0001D11E";
  std::filesystem::create_directories(folder);
  std::string bytes = test::ReadAll(test::Fixture("wma/mono_notags.wma"));
  std::filesystem::path file = folder / u8"piste.wma";
  test::WriteAll(file.string(), bytes);
  std::u16string wide = file.u16string();
  EXPECT_EQ(WMA_Begin(P(wide)), static_cast<int32_t>(bytes.size()));
  WMA_End();

  std::filesystem::path deep = dir.Path();
  for (int i = 0; i < 4; ++i) deep /= std::string(100, 'd');
  std::filesystem::create_directories(deep);
  test::WriteAll((deep / "x.wma").string(), bytes);
  std::u16string long_path = (deep / "x.wma").u16string();
  ASSERT_GT(long_path.size(), 400u);
  EXPECT_EQ(WMA_Begin(P(long_path)), static_cast<int32_t>(bytes.size()));
  WMA_End();

  std::u16string lone = (folder / "piste.wma").u16string();
  lone.insert(lone.size() - 4, 1, char16_t(0xD800));  // no UTF-8 spells a lone surrogate
  EXPECT_EQ(WMA_Begin(P(lone)), 0);
}

TEST_F(WmaExports, LongNamesAreCutInsideTheBuffer) {
  test::TempDir dir;
  std::u16string name(600, u'N');
  std::string path = dir.Write("long.wma", asf::File({asf::ExtendedContent({asf::Text(name, u"v")})}));
  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  const WmaAttribute* r = WMA_GetTagByIndex(0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->NameLength, 520);
  EXPECT_EQ(r->Name[518], u'N');
  EXPECT_EQ(r->Name[519], 0);
}

// A value longer than 16 bits can count keeps its whole length.
TEST_F(WmaExports, LongValuesKeepTheirLength) {
  test::TempDir dir;
  std::string big = test::Fill(70000, 0x77);
  std::string path = dir.Write(
      "big.wma", asf::File({asf::HeaderExtension({asf::MetadataObject(asf::kMetadataLibrary, {asf::Binary(u"WM/Picture", big)})})}));
  std::vector<Attr> list = List(path);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Value, big);
}

// Type codes of the on-disk data types, and booleans as four bytes
// wherever they are stored.
TEST_F(WmaExports, TypeCodes) {
  test::TempDir dir;
  std::string guid = test::Fill(16, 0xAB);
  std::string path = dir.Write(
      "types.wma",
      asf::File({asf::ExtendedContent({asf::Text(u"s", u"x"), asf::Binary(u"b", "\x01\x02"), {u"bool", 2, test::LE32(7)},
                                       asf::Dword(u"d", 9), {u"q", 4, test::LE64(1ull << 40)}, {u"w", 5, test::LE16(5)},
                                       {u"odd", 9, "zz"}}),
                 asf::HeaderExtension({asf::MetadataObject(asf::kMetadata, {{u"mbool", 2, test::LE16(1)}}),
                                       asf::MetadataObject(asf::kMetadataLibrary, {{u"g", 6, guid}})})}));
  std::vector<Attr> list = List(path);
  EXPECT_EQ(list, (std::vector<Attr>{{u"s", 1, W(u"x")},
                                     {u"b", 2, "\x01\x02"},
                                     {u"bool", 3, test::LE32(1)},
                                     {u"d", 0, test::LE32(9)},
                                     {u"q", 4, test::LE64(1ull << 40)},
                                     {u"w", 5, test::LE16(5)},
                                     {u"odd", 0xFFFF, "zz"},
                                     {u"mbool", 3, test::LE32(1)},
                                     {u"g", 6, guid}}));
}

}  // namespace
