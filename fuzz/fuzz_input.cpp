#include "fuzz/fuzz_input.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr const char* kMemfdName = "velloran-fuzz";

// Private folders of this process, whose files no descriptor may hold
// between inputs.
std::vector<std::string>& WatchedFolders() {
  static std::vector<std::string> folders;
  return folders;
}

std::string MakePrivateFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velloran-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) FuzzFinding("cannot make a private temporary folder");
  WatchedFolders().push_back(pattern);
  return pattern;
}

void RemoveFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// Empties the file, then writes all of the input from its start.
void Fill(int fd, const uint8_t* data, size_t size) {
  if (ftruncate(fd, 0) != 0) FuzzFinding("cannot empty the input file");
  size_t done = 0;
  while (done < size) {
    ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) FuzzFinding("cannot write the input file");
    done += static_cast<size_t>(n);
  }
}

}  // namespace

[[noreturn]] void FuzzFinding(const char* what) {
  std::fprintf(stderr, "fuzz finding: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

TMemoryInput::TMemoryInput() {
  fd_ = memfd_create(kMemfdName, MFD_CLOEXEC);
  if (fd_ < 0) FuzzFinding("memfd_create failed");
  path_ = "/proc/self/fd/" + std::to_string(fd_);
}

TMemoryInput::~TMemoryInput() {
  if (!folder_.empty()) RemoveFolder(folder_);
  if (fd_ >= 0) close(fd_);
}

void TMemoryInput::Set(const uint8_t* data, size_t size) {
  Fill(fd_, data, size);
}

std::string TMemoryInput::Name(const std::string& extension) {
  if (folder_.empty()) folder_ = MakePrivateFolder();
  std::string link = folder_ + "/input" + extension;
  std::error_code error;
  if (!std::filesystem::is_symlink(link, error)) {
    std::filesystem::create_symlink(path_, link, error);
    if (error) FuzzFinding("cannot link the input file");
  }
  return link;
}

TFolderInput::TFolderInput(const std::string& name) : folder_(MakePrivateFolder()), path_(folder_ + "/" + name) {}

TFolderInput::~TFolderInput() { RemoveFolder(folder_); }

void TFolderInput::Set(const uint8_t* data, size_t size) {
  // Opened by name each time: a rewrite may have renamed a new file over
  // the one written before.
  int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) FuzzFinding("cannot create the input file");
  Fill(fd, data, size);
  close(fd);
}

void CheckFilesClosed() {
  // The memfd's link reads "/memfd:<name> (deleted)"; the input object holds
  // one descriptor of it, a reader that forgot to close holds another.
  int memfds = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (error) continue;  // the iterator's own descriptor, gone by now
    if (target.rfind("/memfd:" + std::string(kMemfdName), 0) == 0) ++memfds;
    for (const std::string& folder : WatchedFolders())
      if (target.rfind(folder + "/", 0) == 0) FuzzFinding("a file of the input folder was left open");
  }
  if (memfds > 1) FuzzFinding("the input file was left open");
}

void CheckReal(double value, const char* what) {
  if (!std::isfinite(value) || value < 0) FuzzFinding(what);
}
