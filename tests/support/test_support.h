// Small helpers shared by the test suites: a temporary folder that removes
// itself, whole-file reads and writes, byte builders and fixture paths.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

namespace test {

// Path of a committed test file below tests/fixtures.
std::string Fixture(const std::string& name);
// Every committed music file below tests/fixtures, by any extension the
// program reads, in name order.
std::vector<std::filesystem::path> MusicFixtures();

// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // Full path of a file inside the folder.
  std::string File(const std::string& name) const;
  // Writes bytes into a file inside the folder and gives its full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);

// Bytes from a list of byte values: Bytes({0x49, 0x44, 0x33}).
std::string Bytes(std::initializer_list<int> values);
// n copies of one byte.
std::string Fill(size_t n, uint8_t value = 0);
// Numbers as bytes.
std::string BE32(uint32_t v);
std::string LE32(uint32_t v);
std::string LE16(uint16_t v);
std::string BE16(uint16_t v);
std::string LE64(uint64_t v);

// A FLAC picture block: type, MIME type, description, 1x1 pixels of 24
// bits, then the image bytes.
std::string FlacPicture(uint32_t type, const std::string& mime, const std::string& description,
                        const std::string& image);

}  // namespace test
