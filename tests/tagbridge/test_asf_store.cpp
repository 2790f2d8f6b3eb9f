// The ASF attribute store on damaged headers: no read past the data, no
// endless walk, the attributes read so far, and no writing of what it could
// not read whole.

#include <gtest/gtest.h>

#include "support/asf_builder.h"
#include "support/test_support.h"
#include "tagbridge/asf_store.h"

namespace {

std::vector<std::u16string> Names(const AsfAttributeStore& store) {
  std::vector<std::u16string> out;
  for (size_t i = 0; i < store.Count(); ++i) out.push_back(store.At(i)->Name);
  return out;
}

std::string Patch(std::string bytes, size_t pos, const std::string& with) { return bytes.replace(pos, with.size(), with); }

// Offsets in asf::File: the Header Object takes 30 bytes, so the first
// child starts at 30 and its size field at 46.
constexpr size_t kFirstChild = 30;
constexpr size_t kFirstChildSize = 46;

std::string TwoDescriptors() {
  return asf::File({asf::ExtendedContent({asf::Text(u"A", u"1"), asf::Text(u"B", u"2")}),
                    asf::ContentDescription(u"T", u"")});
}

TEST(AsfStore, ReadsAWellFormedHeader) {
  test::TempDir dir;
  AsfAttributeStore store;
  ASSERT_TRUE(store.Open(dir.Write("a.wma", TwoDescriptors())));
  EXPECT_TRUE(store.Writable());
  EXPECT_EQ(Names(store), (std::vector<std::u16string>{u"A", u"B", u"Title", u"Author", u"Copyright", u"Description",
                                                        u"Rating"}));
}

struct Damage {
  const char* What;
  std::string Bytes;
  bool Opens;
  std::vector<std::u16string> Names;  // what is still read
};

TEST(AsfStore, DamagedHeaders) {
  const std::string good = TwoDescriptors();
  const std::string ecd = asf::ExtendedContent({asf::Text(u"A", u"1"), asf::Text(u"B", u"2")});
  const size_t ecd_at = kFirstChild;
  const size_t names_at = ecd_at + 26;  // first descriptor's name length
  const std::vector<std::u16string> cdo = {u"Title", u"Author", u"Copyright", u"Description", u"Rating"};
  std::vector<std::u16string> all = {u"A", u"B"};
  all.insert(all.end(), cdo.begin(), cdo.end());
  const Damage cases[] = {
      {"not ASF", Patch(good, 0, "XXXX"), false, {}},
      {"ends inside the Header Object", good.substr(0, 20), false, {}},
      {"ends inside the first child", good.substr(0, 40), true, {}},
      {"ends inside a descriptor", good.substr(0, names_at + 8), true, {}},
      {"child smaller than its header", Patch(good, kFirstChildSize, test::LE64(8)), true, {}},
      {"child larger than the file", Patch(good, kFirstChildSize, test::LE64(1u << 30)), true, {}},
      {"child of 4 GiB and more", Patch(good, kFirstChildSize, test::LE64((1ull << 32) + ecd.size())), true, {}},
      {"header size past the file", Patch(good, 16, test::LE64(1ull << 40)), true, all},
      {"header size below 30", Patch(good, 16, test::LE64(3)), true, all},
      {"object count too large", Patch(good, 24, test::LE32(0xFFFFFFFF)), true, all},
      {"descriptor count past the object", Patch(good, ecd_at + 24, test::LE16(900)), true, {u"A", u"B", u"Title",
                                                                                               u"Author", u"Copyright",
                                                                                               u"Description", u"Rating"}},
      {"name length past the object", Patch(good, names_at, test::LE16(0xFFFF)), true, cdo},
      {"value length past the object", Patch(good, names_at + 2 + 4 + 2, test::LE16(0xFFF0)), true, cdo},
      {"odd name length", Patch(Patch(good, names_at, test::LE16(3)), names_at + 2 + 3, ""), true, {}},
      {"text lengths past the object", Patch(good, ecd_at + ecd.size() + 24, test::LE16(0xFFFF)), true, {u"A", u"B"}},
  };
  test::TempDir dir;
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.What);
    AsfAttributeStore store;
    bool opened = store.Open(dir.Write("d.wma", c.Bytes));
    EXPECT_EQ(opened, c.Opens);
    if (!opened) continue;
    if (std::string(c.What) != "odd name length") {
      EXPECT_EQ(Names(store), c.Names);
    }
    EXPECT_FALSE(store.Writable());
    EXPECT_FALSE(store.Set(u"Title", kAttrString, asf::W(u"x"))) << "a damaged header is never rewritten";
  }
}

TEST(AsfStore, DamagedMetadataObjects) {
  const std::string ml = asf::MetadataObject(asf::kMetadataLibrary, {asf::Text(u"M", u"1"), asf::Text(u"N", u"2")});
  const std::string good = asf::File({asf::HeaderExtension({ml})});
  const size_t ext = kFirstChild;
  const size_t ml_at = ext + 46;
  const size_t record2 = ml_at + 26 + 12 + 4 + 4;  // second record
  const Damage cases[] = {
      {"extension data size past the object", Patch(good, ext + 42, test::LE32(0xFFFFFF)), true, {u"M", u"N"}},
      {"extension data size short", Patch(good, ext + 42, test::LE32(10)), true, {}},
      {"record count past the object", Patch(good, ml_at + 24, test::LE16(3)), true, {u"M", u"N"}},
      {"data length past the object", Patch(good, record2 + 8, test::LE32(0xFFFFFFFF)), true, {u"M"}},
      {"child of the extension too small", Patch(good, ml_at + 16, test::LE64(2)), true, {}},
  };
  test::TempDir dir;
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.What);
    AsfAttributeStore store;
    ASSERT_TRUE(store.Open(dir.Write("m.wma", c.Bytes)));
    EXPECT_EQ(Names(store), c.Names);
    EXPECT_FALSE(store.Writable());
  }
}

// Every cut of a real file opens or not, never reads past what is there,
// and never finds more than the whole file holds.
TEST(AsfStore, EveryCutOfARealHeader) {
  std::string whole = test::ReadAll(test::Fixture("wma/tagged.wma"));
  test::TempDir dir;
  AsfAttributeStore full;
  ASSERT_TRUE(full.Open(test::Fixture("wma/tagged.wma")));
  uint64_t header_size = 0;
  for (int i = 7; i >= 0; --i) header_size = (header_size << 8) | static_cast<uint8_t>(whole[16 + static_cast<size_t>(i)]);
  ASSERT_LT(header_size, whole.size());
  for (size_t len = 0; len <= header_size + 8; ++len) {
    AsfAttributeStore store;
    bool opened = store.Open(dir.Write("cut.wma", whole.substr(0, len)));
    EXPECT_EQ(opened, len >= 30) << len;
    EXPECT_LE(store.Count(), full.Count()) << len;
    if (len < header_size) {
      EXPECT_FALSE(store.Writable()) << len;
    }
  }
}

}  // namespace

namespace {

// A text too long for the 16-bit value length of the Extended Content
// Description Object (65 534 bytes and the zero unit added to them) goes
// to the Metadata Library Object, which has 32-bit lengths.
TEST(AsfStore, LongValuesGoToTheMetadataLibrary) {
  test::TempDir dir;
  std::string path = dir.Write("l.wma", asf::File(asf::PlainStream()));
  std::string text = test::Fill(65534, 'a');
  {
    AsfAttributeStore store;
    ASSERT_TRUE(store.Open(path));
    ASSERT_TRUE(store.Set(u"WM/Long", kAttrString, text));
    ASSERT_TRUE(store.Set(u"WM/Short", kAttrString, asf::W(u"s")));
    ASSERT_TRUE(store.Close());
  }
  AsfAttributeStore store;
  ASSERT_TRUE(store.Open(path));
  ASSERT_EQ(store.Count(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const AsfAttribute* a = store.At(i);
    bool is_long = a->Name == u"WM/Long";
    EXPECT_EQ(a->Source, is_long ? AsfAttribute::kMetadataLibrary : AsfAttribute::kExtendedContent);
    EXPECT_TRUE(a->Value == (is_long ? text + std::string(2, '\0') : asf::W(u"s"))) << i;
  }
}

}  // namespace
