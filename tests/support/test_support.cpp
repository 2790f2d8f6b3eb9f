#include "support/test_support.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

namespace test {

std::string Fixture(const std::string& name) { return std::string(VELLORAN_FIXTURES) + "/" + name; }

std::vector<std::filesystem::path> MusicFixtures() {
  static const std::set<std::string> kMusic = {".mp3", ".mp2", ".mp1", ".ogg", ".wma", ".wmv",
                                               ".asf", ".ape", ".mpc", ".aac", ".flac"};
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(VELLORAN_FIXTURES))
    if (entry.is_regular_file() && kMusic.count(entry.path().extension().string())) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("velloran-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only folders behind; give write access back first.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return (path_ / name).string(); }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string path = File(name);
  WriteAll(path, bytes);
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v & 0xFF));
  return s;
}

std::string Fill(size_t n, uint8_t value) { return std::string(n, static_cast<char>(value)); }

static std::string Number(uint64_t v, int bytes, bool big) {
  std::string s(static_cast<size_t>(bytes), '\0');
  for (int i = 0; i < bytes; ++i) {
    int shift = 8 * (big ? bytes - 1 - i : i);
    s[static_cast<size_t>(i)] = static_cast<char>((v >> shift) & 0xFF);
  }
  return s;
}

std::string BE32(uint32_t v) { return Number(v, 4, true); }
std::string LE32(uint32_t v) { return Number(v, 4, false); }
std::string LE16(uint16_t v) { return Number(v, 2, false); }
std::string BE16(uint16_t v) { return Number(v, 2, true); }
std::string LE64(uint64_t v) { return Number(v, 8, false); }

std::string FlacPicture(uint32_t type, const std::string& mime, const std::string& description,
                        const std::string& image) {
  return BE32(type) + BE32(static_cast<uint32_t>(mime.size())) + mime +
         BE32(static_cast<uint32_t>(description.size())) + description + BE32(1) + BE32(1) + BE32(24) + BE32(0) +
         BE32(static_cast<uint32_t>(image.size())) + image;
}

}  // namespace test
