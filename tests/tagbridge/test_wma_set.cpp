// Setting attributes: WMA_SetTag changes the store, WMA_End writes a new
// header in front of the unchanged rest of the file, through a temporary
// file renamed over the original.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/asf_builder.h"
#include "support/test_support.h"
#include "tagbridge/asf_store.h"
#include "tagbridge/orva_tags.h"
#include "tagbridge/wma_test_util.h"

using namespace wmatest;

namespace {

uint64_t HeaderSize(const std::string& file) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(file[16 + static_cast<size_t>(i)]);
  return v;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

int32_t Set(const std::u16string& name, int32_t type, const std::string& value) {
  return WMA_SetTag(P(name), type, reinterpret_cast<const uint8_t*>(value.data()), static_cast<uint16_t>(value.size()));
}

class WmaSet : public ::testing::Test {
 protected:
  void TearDown() override { WMA_End(); }
  // A copy of a fixture in a fresh folder.
  std::string CopyOf(const std::string& fixture) {
    return dir_.Write(std::filesystem::path(fixture).filename().string(), test::ReadAll(test::Fixture(fixture)));
  }
  test::TempDir dir_;
};

TEST_F(WmaSet, NewAndChangedAttributesSurviveAndTheRestStays) {
  std::string path = CopyOf("wma/tagged.wma");
  std::string before = test::ReadAll(path);
  std::vector<Attr> old_list = List(path);
  ::chmod(path.c_str(), 0640);

  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  EXPECT_EQ(Set(u"WM/Mood", 1, W(u"Calm")), 1);                       // new
  EXPECT_EQ(Set(u"WM/AlbumTitle", 1, W(u"Other Album")), 1);          // changed in place
  EXPECT_EQ(Set(u"WM/Conductor", 1, W(u"New Conductor")), 1);         // in the Metadata Library
  EXPECT_EQ(Set(u"WM/BeatsPerMinute", 0, test::LE32(120)), 1);        // new number
  // Seen at once by the open store.
  std::vector<Attr> open_list = ListOpen();
  ASSERT_NE(Find(open_list, u"WM/Mood"), nullptr);
  EXPECT_EQ(Find(open_list, u"WM/AlbumTitle")->Value, W(u"Other Album"));
  WMA_End();

  std::string after = test::ReadAll(path);
  uint64_t old_header = HeaderSize(before);
  uint64_t new_header = HeaderSize(after);
  EXPECT_EQ(after.substr(new_header), before.substr(old_header)) << "the data after the header is copied unchanged";
  EXPECT_EQ(after.size() - new_header, before.size() - old_header);
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"tagged.wma"});

  std::vector<Attr> new_list = List(path);
  EXPECT_EQ(*Find(new_list, u"WM/Mood"), (Attr{u"WM/Mood", 1, W(u"Calm")}));
  EXPECT_EQ(*Find(new_list, u"WM/AlbumTitle"), (Attr{u"WM/AlbumTitle", 1, W(u"Other Album")}));
  EXPECT_EQ(*Find(new_list, u"WM/Conductor"), (Attr{u"WM/Conductor", 1, W(u"New Conductor")}));
  EXPECT_EQ(*Find(new_list, u"WM/BeatsPerMinute"), (Attr{u"WM/BeatsPerMinute", 0, test::LE32(120)}));
  // Every other attribute as it was, in the same order.
  auto others = [](std::vector<Attr> list) {
    std::erase_if(list, [](const Attr& a) {
      return a.Name == u"WM/Mood" || a.Name == u"WM/AlbumTitle" || a.Name == u"WM/Conductor" ||
             a.Name == u"WM/BeatsPerMinute";
    });
    return list;
  };
  EXPECT_EQ(others(new_list), others(old_list));

  // The rewritten header holds together: it opens whole, and the File
  // Properties Object states the new file size.
  AsfAttributeStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_TRUE(store.Writable());
  size_t fp = after.find(asf::kFileProperties);
  ASSERT_NE(fp, std::string::npos);
  EXPECT_EQ(after.substr(fp + 40, 8), test::LE64(after.size()));
}

// Setting a name sets it everywhere: the Content Description text takes
// it, and the lower-case copy that ffmpeg writes goes.
TEST_F(WmaSet, ANameHasOneValueAfterwards) {
  std::string path = CopyOf("wma/tagged.wma");
  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  EXPECT_EQ(Set(u"TITLE", 1, W(u"New Title")), 1);
  EXPECT_EQ(Set(u"Author", 1, W(u"New Artist")), 1);
  WMA_End();
  std::vector<Attr> list = List(path);
  std::vector<Attr> titles, authors;
  for (const Attr& a : list) {
    if (a.Name == u"Title" || a.Name == u"title") titles.push_back(a);
    if (a.Name == u"Author") authors.push_back(a);
  }
  EXPECT_EQ(titles, (std::vector<Attr>{{u"Title", 1, W(u"New Title")}}));
  EXPECT_EQ(authors, (std::vector<Attr>{{u"Author", 1, W(u"New Artist")}}));
}

// A file with no attribute objects gets them: the Content Description
// Object for its texts, the Extended Content Description Object for the
// rest, a Header Extension with a Metadata Library for a GUID.
TEST_F(WmaSet, CreatesTheObjectsItNeeds) {
  std::string path = dir_.Write("bare.asf", asf::File(asf::PlainStream(), 500));
  std::string guid = test::Fill(16, 0x42);
  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  EXPECT_EQ(WMA_GetTagsCount(), 0);
  EXPECT_EQ(Set(u"Description", 1, W(u"words")), 1);
  EXPECT_EQ(Set(u"WM/Genre", 1, W(u"Jazz")), 1);
  EXPECT_EQ(Set(u"WM/Flag", 3, test::LE32(1)), 1);
  EXPECT_EQ(Set(u"WM/MediaClassPrimaryID", 6, guid), 1);
  EXPECT_EQ(Set(u"WM/Empty", 1, ""), 1);
  WMA_End();
  EXPECT_EQ(List(path), (std::vector<Attr>{{u"Title", 1, ""},
                                           {u"Author", 1, ""},
                                           {u"Copyright", 1, ""},
                                           {u"Description", 1, W(u"words")},
                                           {u"Rating", 1, ""},
                                           {u"WM/Genre", 1, W(u"Jazz")},
                                           {u"WM/Flag", 3, test::LE32(1)},
                                           {u"WM/Empty", 1, ""},
                                           {u"WM/MediaClassPrimaryID", 6, guid}}));
  AsfAttributeStore store;
  ASSERT_TRUE(store.Open(path));
  EXPECT_TRUE(store.Writable()) << "the new objects hold together";
}

TEST_F(WmaSet, RefusedValuesChangeNothing) {
  std::string path = CopyOf("wma/tagged.wma");
  std::string before = test::ReadAll(path);
  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  EXPECT_EQ(Set(u"WM/TRACK", 0, "\x01\x02"), 0) << "a number takes 4 bytes";
  EXPECT_EQ(Set(u"WM/X", 4, test::LE32(1)), 0) << "a 64-bit number takes 8";
  EXPECT_EQ(Set(u"WM/X", 1, "abc"), 0) << "UTF-16 has an even length";
  EXPECT_EQ(Set(u"Title", 2, "raw"), 0) << "the Content Description holds text only";
  EXPECT_EQ(Set(u"Title", 1, test::Fill(65534, 'a')), 0) << "no room for the zero unit in 16 bits";
  EXPECT_EQ(Set(u"WM/X", 7, "x"), 0) << "no such type";
  EXPECT_EQ(Set(u"", 1, W(u"x")), 0);
  EXPECT_EQ(WMA_SetTag(P(u"WM/X"), 2, nullptr, 4), 0);
  EXPECT_EQ(WMA_SetTag(nullptr, 1, nullptr, 0), 0);
  EXPECT_EQ(WMA_SetTag(P(u"WM/X"), -1, nullptr, 0), 0);
  WMA_End();
  EXPECT_EQ(test::ReadAll(path), before);
}

// A file changed by another program between WMA_Begin and WMA_End is not
// overwritten with a header made from its old state.
TEST_F(WmaSet, AFileChangedMeanwhileIsLeftAlone) {
  std::string path = CopyOf("wma/mono_notags.wma");
  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  EXPECT_EQ(Set(u"Title", 1, W(u"x")), 1);
  std::string changed = test::ReadAll(path) + "more";
  test::WriteAll(path, changed);
  WMA_End();
  EXPECT_EQ(test::ReadAll(path), changed);
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"mono_notags.wma"});
}

// A write that fails part way (here: the file size limit stops it inside
// the copy of the data) leaves the original byte for byte and no temporary
// file. The limit applies to the child process only.
TEST_F(WmaSet, AWriteThatFailsPartWayLeavesTheOriginal) {
  std::string path = CopyOf("wma/tagged.wma");
  std::string before = test::ReadAll(path);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = HeaderSize(before) + 1000;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::u16string wide = U(path);
    int ok = WMA_Begin(P(wide)) != 0 && Set(u"WM/Mood", 1, W(u"Calm")) == 1;
    WMA_End();
    ::_exit(ok ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the set itself was accepted";
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"tagged.wma"});
}

// Through a symbolic link: the file it names gets the new header, the link
// stays a link.
TEST_F(WmaSet, ALinkStaysALink) {
  std::filesystem::create_directory(dir_.Path() / "real");
  std::string real = dir_.Write("real/song.wma", test::ReadAll(test::Fixture("wma/mono_notags.wma")));
  std::filesystem::path link = dir_.Path() / "link.wma";
  std::filesystem::create_symlink(real, link);
  std::u16string wide = U(link.string());
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  EXPECT_EQ(Set(u"WM/Genre", 1, W(u"Folk")), 1);
  WMA_End();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(*Find(List(real), u"WM/Genre"), (Attr{u"WM/Genre", 1, W(u"Folk")}));
  EXPECT_EQ(FolderEntries(dir_.Path() / "real"), std::vector<std::string>{"song.wma"});
}

TEST_F(WmaSet, EndWithoutChangesWritesNothing) {
  std::string path = CopyOf("wma/clip.asf");
  auto stamp = std::filesystem::last_write_time(path);
  std::string before = test::ReadAll(path);
  std::u16string wide = U(path);
  ASSERT_NE(WMA_Begin(P(wide)), 0);
  ListOpen();
  WMA_End();
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_EQ(std::filesystem::last_write_time(path), stamp);
}

}  // namespace

// Found by fuzzing: a File Properties Object of 46 bytes, too short to hold
// the flags and the file size, followed by an Extended Content Description.
// The rewrite once wrote the new file size past the short object, over the
// next object's identifier, and the attributes were lost.
TEST(WmaSetRegression, AShortFilePropertiesObjectIsLeftAsItIs) {
  test::TempDir dir;
  const std::string original = test::ReadAll(test::Fixture("regressions/short-file-properties.wma"));
  const std::string path = dir.Write("short-file-properties.wma", original);
  constexpr size_t kFileProperties = 0x86;  // where the short object starts
  constexpr size_t kShortSize = 46;
  const std::string short_object = original.substr(kFileProperties, kShortSize);

  std::u16string wide = U(path);
  ASSERT_EQ(WMA_Begin(P(wide)), 470);
  ASSERT_EQ(ListOpen().size(), 1u);
  EXPECT_EQ(Set(u"WM/Mood", 1, W(u"Calm")), 1);
  WMA_End();

  const std::string rewritten = test::ReadAll(path);
  EXPECT_EQ(rewritten.substr(kFileProperties, kShortSize), short_object);
  const std::vector<Attr> attributes = List(path);
  ASSERT_EQ(attributes.size(), 2u);
  EXPECT_EQ(attributes[0].Name, u"WM/EncodingSettings");
  EXPECT_EQ(attributes[1], (Attr{u"WM/Mood", 1, W(u"Calm")}));
}
