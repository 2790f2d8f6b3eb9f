#include <gtest/gtest.h>

#include <sys/stat.h>

#include "toolkit/byte_view.h"
#include "toolkit/file_io.h"
#include "support/test_support.h"

namespace {

TEST(File, OpensOnlyRegularFiles) {
  test::TempDir dir;
  TFile f;
  EXPECT_FALSE(f.Open(dir.Path().string()));
  EXPECT_FALSE(f.Open(dir.File("missing")));
  EXPECT_FALSE(f.Open(""));
  EXPECT_FALSE(f.Open("/dev/zero"));
  EXPECT_TRUE(f.Open(dir.Write("a", "hello")));
  EXPECT_EQ(f.Size(), 5);
  EXPECT_TRUE(IsRegularFile(dir.File("a")));
  EXPECT_FALSE(IsRegularFile(dir.Path().string()));
  EXPECT_EQ(FileSizeOf(dir.File("a")), 5);
  EXPECT_EQ(FileSizeOf(dir.File("missing")), -1);
}

TEST(File, APipeIsRefusedWithoutWaitingForAWriter) {
  test::TempDir dir;
  std::string fifo = dir.File("song.mp3");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TFile f;
  EXPECT_FALSE(f.Open(fifo));
  EXPECT_FALSE(f.IsOpen());
}

// Reads answered from the buffered ends must give exactly what the file
// gives, at every boundary: inside the head, across its end, inside the
// tail, across its start, and in files shorter than head and tail together.
TEST(File, ReadsAfterReadEndsGiveTheFilesBytes) {
  test::TempDir dir;
  for (size_t size : {0u, 7u, 100u, 150u, 4200u, 10000u}) {
    std::string bytes;
    for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>((i * 7 + i / 251) & 0xFF));
    std::string path = dir.Write("f" + std::to_string(size), bytes);
    TFile plain(path);
    TFile buffered(path);
    ASSERT_TRUE(buffered.ReadEnds(4096, 128)) << size;
    const int64_t n = static_cast<int64_t>(size);
    for (int64_t offset : {int64_t{0}, int64_t{1}, int64_t{90}, int64_t{4090}, int64_t{4095}, int64_t{4096}, n - 200,
                           n - 129, n - 128, n - 127, n - 3, n - 1, n, n + 5}) {
      if (offset < 0) continue;
      for (size_t len : {0u, 1u, 3u, 10u, 128u, 4096u, 9000u}) {
        std::string want, got;
        EXPECT_EQ(buffered.ReadAt(offset, len, got), plain.ReadAt(offset, len, want));
        EXPECT_EQ(got, want) << "size " << size << " offset " << offset << " len " << len;
        EXPECT_EQ(buffered.ReadExact(offset, len, got), plain.ReadExact(offset, len, want));
        EXPECT_EQ(buffered.ReadBlock(offset, len, got), plain.ReadBlock(offset, len, want));
        EXPECT_EQ(got, want) << "block: size " << size << " offset " << offset << " len " << len;
      }
    }
  }
}

TEST(File, ReadsStopAtTheEndOfTheFile) {
  test::TempDir dir;
  TFile f(dir.Write("a", "0123456789"));
  std::string out;
  EXPECT_TRUE(f.ReadAt(8, 100, out));
  EXPECT_EQ(out, "89");
  EXPECT_TRUE(f.ReadAt(10, 5, out));
  EXPECT_EQ(out, "");
  EXPECT_TRUE(f.ReadAt(1000, 5, out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(f.ReadAt(-1, 5, out));
  EXPECT_FALSE(f.ReadExact(8, 3, out));
  EXPECT_TRUE(f.ReadExact(7, 3, out));
  EXPECT_EQ(out, "789");
  // A huge request is not allocated: only what the file holds is read.
  EXPECT_TRUE(f.ReadAt(0, SIZE_MAX / 2, out));
  EXPECT_EQ(out.size(), 10u);

  std::string block;
  EXPECT_EQ(f.ReadBlock(6, 8, block), 4);
  EXPECT_EQ(block, std::string("6789\0\0\0\0", 8));
  EXPECT_EQ(f.ReadBlock(-5, 4, block), -1);
  EXPECT_EQ(block, std::string(4, '\0'));
}

TEST(ReplacingFile, CommitReplacesAndFailureLeavesTheTargetAlone) {
  test::TempDir dir;
  std::string target = dir.Write("report.htm", "old");
  chmod(target.c_str(), 0640);
  EXPECT_TRUE(WriteFileReplacing(target, "new"));
  EXPECT_EQ(test::ReadAll(target), "new");
  struct stat st {};
  stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its permissions

  {
    TReplacingFile out(target);
    ASSERT_TRUE(out.IsOpen());
    out.Write("partial");
    // Gone without Commit: nothing replaced, no temporary file left.
  }
  EXPECT_EQ(test::ReadAll(target), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

  EXPECT_FALSE(WriteFileReplacing(dir.File("no-folder/x.htm"), "data"));
}

TEST(ByteView, ReadsOutsideTheViewGiveZero) {
  std::string bytes = test::Bytes({0x12, 0x34, 0x56, 0x78, 0x9A});
  TByteView v(bytes);
  EXPECT_EQ(v.BE16(0), 0x1234);
  EXPECT_EQ(v.LE16(0), 0x3412);
  EXPECT_EQ(v.BE24(1), 0x345678u);
  EXPECT_EQ(v.BE32(0), 0x12345678u);
  EXPECT_EQ(v.LE32(1), 0x9A785634u);
  EXPECT_EQ(v.BE32(2), 0u);  // needs bytes 2..5
  EXPECT_EQ(v.U8(5), 0);
  EXPECT_EQ(v.LE64(0), 0u);
  EXPECT_TRUE(v.Fits(5, 0));
  EXPECT_FALSE(v.Fits(6, 0));
  EXPECT_FALSE(v.Fits(1, SIZE_MAX));  // no overflow of pos + len
  EXPECT_EQ(v.Sub(3).Size(), 2u);
  EXPECT_EQ(v.Sub(9).Size(), 0u);
  EXPECT_EQ(v.Sub(1, 100).Size(), 4u);
  EXPECT_TRUE(v.Matches(0, "\x12\x34"));
  EXPECT_FALSE(v.Matches(4, std::string_view("\x9A\x00", 2)));
}

}  // namespace
