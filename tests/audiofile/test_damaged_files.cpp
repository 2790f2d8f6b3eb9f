// Every committed music file, cut short and with damaged bytes, through the
// audio file object with both ID3 preferences: every reader and the tag
// bridge library must come back with a clean result. Under the sanitizer
// build this is where a read past a buffer shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "audiofile/audio_file.h"
#include "toolkit/str_tools.h"
#include "support/test_support.h"

namespace {

// Cut points: every length up to 600 bytes, where headers live, then 48
// lengths spread over the rest, and the whole file less one byte.
std::vector<size_t> CutPoints(size_t size) {
  std::vector<size_t> cuts;
  for (size_t n = 0; n < std::min<size_t>(size, 600); ++n) cuts.push_back(n);
  for (size_t i = 1; i <= 48; ++i) cuts.push_back(size * i / 49);
  if (size > 0) cuts.push_back(size - 1);
  return cuts;
}

// Loads path with the given preference and checks what must hold for any
// input: a valid stream reports the size of the file it read (except a
// ".mpc" file that holds no Musepack header at all, which is taken with zero
// stream values).
void LoadAndCheck(TAudioFile& audio, const std::string& path, int preferred, size_t size, const std::string& what) {
  audio.SetPreferredTag(preferred);
  audio.FileName = path;
  audio.LoadFile();
  bool no_musepack = audio.FileType == atMPC && audio.Stream.Encoder == "SV0";
  if (audio.Stream.Valid && !no_musepack) {
    EXPECT_EQ(audio.Stream.FileSizeKB, RoundEven(static_cast<double>(size) / 1024)) << what;
  }
  EXPECT_LE(audio.Tags.TrackText.size(), 4 * kTrackTextLimit) << what;
  EXPECT_EQ(audio.Tags.HasPicture, !audio.Tags.PictureData.empty()) << what;
}

// VELLORAN_DAMAGE_ROUNDS=N runs a longer hunt by hand; the suite runs 150.
int DamageRounds() {
  const char* env = std::getenv("VELLORAN_DAMAGE_ROUNDS");
  int rounds = env != nullptr ? std::atoi(env) : 0;
  return rounds > 0 ? rounds : 150;
}

class DamagedFiles : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(DamagedFiles, CutAtManyLengths) {
  const std::string whole = test::ReadAll(GetParam().string());
  test::TempDir dir;
  const std::string path = dir.File("cut" + GetParam().extension().string());
  TAudioFile audio;
  for (size_t n : CutPoints(whole.size())) {
    test::WriteAll(path, whole.substr(0, n));
    LoadAndCheck(audio, path, n % 2 == 0 ? 1 : 2, n, GetParam().filename().string() + " cut at " + std::to_string(n));
  }
}

TEST_P(DamagedFiles, DamagedBytesInTheFirstKilobytes) {
  std::string bytes = test::ReadAll(GetParam().string());
  test::TempDir dir;
  const std::string path = dir.File("damaged" + GetParam().extension().string());
  TAudioFile audio;
  // A fixed sequence, so a failure names a case that can be run again.
  uint32_t state = 12345;
  auto next = [&state] { return state = state * 1103515245u + 12345u; };
  for (int round = 0; round < DamageRounds() && !bytes.empty(); ++round) {
    std::string damaged = bytes;
    size_t span = std::min<size_t>(damaged.size(), 4096);
    for (int k = 0; k < 4; ++k) {
      size_t pos = (next() >> 8) % span;
      // Sizes and counts are where damage hurts: all ones, all zeros, or any byte.
      uint32_t pick = next() >> 24;
      damaged[pos] = static_cast<char>(pick < 80 ? 0xFF : pick < 160 ? 0x00 : pick);
    }
    test::WriteAll(path, damaged);
    LoadAndCheck(audio, path, round % 2 == 0 ? 1 : 2, damaged.size(),
                 GetParam().filename().string() + " damage round " + std::to_string(round));
  }
}

std::string FixtureName(const ::testing::TestParamInfo<std::filesystem::path>& info) {
  std::string name = info.param.parent_path().filename().string() + "_" + info.param.filename().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(AllMusicFixtures, DamagedFiles, ::testing::ValuesIn(test::MusicFixtures()), FixtureName);

}  // namespace
