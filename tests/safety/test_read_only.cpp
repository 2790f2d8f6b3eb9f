// Loading never changes a music file: every committed music file, loaded
// with both ID3 preferences, keeps its bytes, its modification time and its
// inode (a file replaced through a rename gets a new one), and nothing is
// added to its folder.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

#include "audiofile/audio_file.h"
#include "support/test_support.h"

namespace {

struct TFileState {
  std::string Bytes;
  struct timespec Modified {};
  ino_t Inode = 0;
};

TFileState StateOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return {test::ReadAll(path), st.st_mtim, st.st_ino};
}

std::set<std::string> Listing(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

TEST(ReadOnly, LoadingLeavesEveryMusicFileAsItWas) {
  const auto fixtures = test::MusicFixtures();
  ASSERT_GT(fixtures.size(), 40u) << "the fixture folders were not found";
  test::TempDir dir;
  // Copies, each a distinct name, with a modification time in the past, so
  // that a write of any kind shows as a new time.
  const struct timespec old_time[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const auto& fixture : fixtures) {
    std::string copy = dir.File(fixture.parent_path().filename().string() + "_" + fixture.filename().string());
    std::filesystem::copy_file(fixture, copy);
    ASSERT_EQ(utimensat(AT_FDCWD, copy.c_str(), old_time, 0), 0);
  }
  const std::set<std::string> names = Listing(dir.Path());

  TAudioFile audio;
  for (const std::string& name : names) {
    const std::string path = dir.File(name);
    const TFileState before = StateOf(path);
    for (int preferred : {1, 2}) {
      audio.SetPreferredTag(preferred);
      audio.FileName = path;
      // The files do load (a check over files that fail to open would prove
      // nothing); the damaged inputs of past findings need not.
      bool loaded = audio.LoadFile();
      if (name.rfind("regressions_", 0) != 0) {
        EXPECT_TRUE(loaded) << name;
      }
    }
    const TFileState after = StateOf(path);
    EXPECT_TRUE(after.Bytes == before.Bytes) << name << ": bytes changed";
    EXPECT_EQ(after.Modified.tv_sec, before.Modified.tv_sec) << name;
    EXPECT_EQ(after.Modified.tv_nsec, before.Modified.tv_nsec) << name;
    EXPECT_EQ(after.Inode, before.Inode) << name << ": the file was replaced";
  }
  EXPECT_EQ(Listing(dir.Path()), names) << "loading left a file beside the music files";
}

}  // namespace
