// Files that declare huge sizes load in a child process whose address space
// is limited to a few hundred megabytes more than it starts with, and whose
// time is limited by an alarm. A reader that sized a buffer from the file,
// or walked a count the file cannot hold, dies there; a sound one gives the
// values of a damaged file: the stream values as in the intact file, and the
// tag values read before the damaged size.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "audiofile/audio_file.h"
#include "support/test_support.h"
#include "tagbridge/ogg_test_util.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr size_t kExtraAddressSpace = 256u << 20;
constexpr unsigned kSeconds = 10;

// The stream values, then a few tag values, as one line.
std::string Summary(const TAudioFile& audio) {
  std::ostringstream out;
  out << "valid=" << audio.Stream.Valid << " duration=" << audio.Stream.Duration
      << " rate=" << audio.Stream.SampleRate << " bitrate=" << audio.Stream.BitRate << " | title=" << audio.Tags.Title
      << " artist=" << audio.Tags.Artist << " album=" << audio.Tags.Album << " track=" << audio.Tags.TrackText;
  return out.str();
}

std::string StreamPart(const std::string& summary) { return summary.substr(0, summary.find(" | ")); }

std::string Load(const std::string& path) {
  TAudioFile audio;
  audio.SetPreferredTag(2);
  audio.FileName = path;
  audio.LoadFile();
  return Summary(audio);
}

size_t CurrentAddressSpace() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmSize:", 0) == 0) return std::stoul(line.substr(7)) * 1024;  // kB
  return 0;
}

// Loads path in a child limited in address space and time. Gives the
// child's summary, or a text that says how it ended.
std::string LoadBounded(const std::string& path) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return "no pipe";
  pid_t child = fork();
  if (child < 0) return "no fork";
  if (child == 0) {
    close(pipe_fds[0]);
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = CurrentAddressSpace() + kExtraAddressSpace;
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
    alarm(kSeconds);
    // The child never returns into the test framework, whatever happens.
    try {
      std::string summary = Load(path);
      if (write(pipe_fds[1], summary.data(), summary.size()) != static_cast<ssize_t>(summary.size())) _exit(3);
    } catch (const std::exception& error) {
      std::string text = std::string("exception: ") + error.what();
      _exit(write(pipe_fds[1], text.data(), text.size()) > 0 ? 4 : 3);
    }
    _exit(0);
  }
  close(pipe_fds[1]);
  std::string summary;
  char buffer[512];
  ssize_t n;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) summary.append(buffer, static_cast<size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) {
    int signal = WTERMSIG(status);
    return signal == SIGALRM ? "did not finish within the time limit" : std::string("killed by ") + strsignal(signal);
  }
  if (WEXITSTATUS(status) != 0) return summary + " (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
  return summary;
}

// The offset of the first match of marker in bytes, failing the test when absent.
size_t Find(const std::string& bytes, const std::string& marker) {
  size_t pos = bytes.find(marker);
  EXPECT_NE(pos, std::string::npos) << "marker not found";
  return pos == std::string::npos ? 0 : pos;
}

void PutLE32(std::string& bytes, size_t pos, uint32_t v) { bytes.replace(pos, 4, test::LE32(v)); }

// APEv2: the Title item declares a value of 2 GB. The items before it
// (album and track) stay.
std::string HugeApeItem(std::string bytes) {
  size_t key = Find(bytes, std::string("Title\0", 6));
  PutLE32(bytes, key - 8, 0x80000000u);
  return bytes;
}

// ID3v2.3: the first frame declares a size far past the end of the tag.
std::string Id3v2FramePastTag(std::string bytes) {
  bytes.replace(14, 4, test::BE32(0x7FFFFFF0u));
  return bytes;
}

// ASF: the Content Description object declares 4 GB.
std::string HugeAsfObject(std::string bytes) {
  const std::string guid = test::Bytes({0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00,
                                        0x62, 0xCE, 0x6C});
  bytes.replace(Find(bytes, guid) + 16, 8, test::LE64(0x100000000ull));
  return bytes;
}

// Vorbis comment header: a comment count of 2^31, with the page checksum
// made right again so that the page itself is sound.
std::string HugeVorbisCommentCount(std::string bytes) {
  size_t packet = Find(bytes, "\x03vorbis");
  uint32_t vendor_length = 0;
  std::memcpy(&vendor_length, bytes.data() + packet + 7, 4);
  PutLE32(bytes, packet + 11 + vendor_length, 0x80000000u);
  for (const oggtest::Page& page : oggtest::Pages(bytes))
    if (page.offset <= packet && packet < page.offset + page.length) oggtest::FixChecksum(bytes, page);
  return bytes;
}

struct BoundCase {
  const char* name;
  const char* fixture;
  std::function<std::string(std::string)> damage;
  // The stream values of the damaged file; empty: those of the intact file.
  std::string stream;
  std::string tags;
};

class ResourceBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(ResourceBounds, HugeDeclaredSizeLoadsAsDamagedFile) {
  if (kAddressSanitizer)
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space for its shadow memory, so an "
                    "address-space limit cannot be set in this build; the normal build runs this test";
  const BoundCase& c = GetParam();
  test::TempDir dir;
  const std::string extension = std::filesystem::path(c.fixture).extension().string();
  const std::string intact = test::ReadAll(test::Fixture(c.fixture));
  const std::string damaged = c.damage(intact);
  ASSERT_NE(damaged, intact);
  const std::string path = dir.Write("damaged" + extension, damaged);
  const std::string intact_values = Load(dir.Write("intact" + extension, intact));
  const std::string stream = c.stream.empty() ? StreamPart(intact_values) : c.stream;
  EXPECT_EQ(LoadBounded(path), stream + " | " + c.tags);
}

// Where the damage lies in a tag, the stream values stay as in the intact
// file. In the Windows Media file the Content Description object comes
// before the stream objects, and the header walk ends at it.
const BoundCase kCases[] = {
    {"ApeItemOf2GB", "apeflac/tagged.ape", HugeApeItem, "", "title= artist= album=Ape Album track=4/10"},
    {"Id3v2FramePastTag", "mpeg/id3v2_v23_latin1.mp3", Id3v2FramePastTag, "", "title= artist= album= track="},
    {"AsfObjectOf4GB", "wma/tagged.wma", HugeAsfObject, "valid=1 duration=0 rate=0 bitrate=0",
     "title= artist=Test Artist album= track="},
    {"VorbisCommentCount2Pow31", "ogg/tagged_stereo.ogg", HugeVorbisCommentCount, "", "title= artist= album= track="},
};

INSTANTIATE_TEST_SUITE_P(DeclaredSizes, ResourceBounds, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BoundCase>& info) { return info.param.name; });

}  // namespace
