#include "toolkit/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

TFile::TFile(TFile&& other) noexcept
    : fd_(other.fd_),
      size_(other.size_),
      head_(std::move(other.head_)),
      tail_(std::move(other.tail_)),
      tail_start_(other.tail_start_),
      window_size_(other.window_size_),
      window_(std::move(other.window_)),
      window_start_(other.window_start_) {
  other.fd_ = -1;
  other.Close();
}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    size_ = other.size_;
    head_ = std::move(other.head_);
    tail_ = std::move(other.tail_);
    tail_start_ = other.tail_start_;
    window_size_ = other.window_size_;
    window_ = std::move(other.window_);
    window_start_ = other.window_start_;
    other.fd_ = -1;
    other.Close();
  }
  return *this;
}

bool TFile::Open(const std::string& path) {
  Close();
  if (path.empty()) return false;
  // O_NONBLOCK keeps a named pipe from blocking the open until a writer
  // comes; it is refused just below, and regular files read as ever.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = static_cast<int64_t>(st.st_size);
  return true;
}

void TFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  head_.clear();
  tail_.clear();
  tail_start_ = 0;
  window_size_ = 0;
  window_.clear();
  window_start_ = 0;
}

int64_t TFile::ReadInto(int64_t offset, size_t len, char* dest) const {
  size_t done = 0;
  while (done < len) {
    ssize_t n = ::pread(fd_, dest + done, len - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;  // the file shrank since it was opened
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool TFile::ReadEnds(size_t head_len, size_t tail_len) {
  head_.clear();
  tail_.clear();
  window_.clear();
  tail_start_ = 0;
  window_size_ = 0;
  // With the buffers empty, ReadAt goes to the file and fills them in place,
  // so they keep their memory from one file to the next.
  if (!ReadAt(0, head_len, head_)) return false;
  int64_t tail_start = size_ > static_cast<int64_t>(tail_len) ? size_ - static_cast<int64_t>(tail_len) : 0;
  // A file that the head holds whole needs no second read.
  if (tail_start < static_cast<int64_t>(head_.size())) {
    tail_.assign(head_, static_cast<size_t>(tail_start));
  } else if (!ReadAt(tail_start, tail_len, tail_)) {
    head_.clear();
    return false;
  }
  tail_start_ = tail_start;
  window_size_ = head_len;
  return true;
}

bool TFile::FromBuffers(int64_t offset, size_t len, std::string& out) const {
  auto inside = [&](const std::string& buffer, int64_t start) {
    if (offset < start || buffer.empty()) return false;
    size_t at = static_cast<size_t>(offset - start);
    if (at > buffer.size() || len > buffer.size() - at) return false;
    out.assign(buffer, at, len);
    return true;
  };
  return inside(head_, 0) || inside(tail_, tail_start_) || inside(window_, window_start_);
}

bool TFile::ReadAhead(int64_t offset) const {
  uint64_t available = static_cast<uint64_t>(size_ - offset);
  size_t len = available < window_size_ ? static_cast<size_t>(available) : window_size_;
  window_.resize(len);
  int64_t done = ReadInto(offset, len, window_.data());
  if (done < 0) {
    window_.clear();
    return false;
  }
  window_.resize(static_cast<size_t>(done));
  window_start_ = offset;
  return true;
}

bool TFile::ReadAt(int64_t offset, size_t len, std::string& out) const {
  out.clear();
  if (fd_ < 0 || offset < 0) return false;
  if (offset >= size_ || len == 0) return true;
  // Never allocate more than the file holds from offset on.
  uint64_t available = static_cast<uint64_t>(size_ - offset);
  if (len > available) len = static_cast<size_t>(available);
  if (FromBuffers(offset, len, out)) return true;
  if (len <= window_size_) {
    if (!ReadAhead(offset)) return false;
    // The window holds all of [offset, offset + len) unless the file shrank.
    if (FromBuffers(offset, len, out)) return true;
  }
  out.resize(len);
  int64_t done = ReadInto(offset, len, out.data());
  if (done < 0) {
    out.clear();
    return false;
  }
  out.resize(static_cast<size_t>(done));
  return true;
}

bool TFile::ReadExact(int64_t offset, size_t len, std::string& out) const {
  return ReadAt(offset, len, out) && out.size() == len;
}

int64_t TFile::ReadBlock(int64_t offset, size_t len, std::string& block) const {
  // ReadAt into the block itself, then the zeros after what it gave.
  if (!ReadAt(offset, len, block)) {
    block.assign(len, '\0');
    return -1;
  }
  int64_t n = static_cast<int64_t>(block.size());
  block.resize(len, '\0');
  return n;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes) {
  TReplacingFile out(path);
  return out.IsOpen() && out.Write(bytes) && out.Commit();
}

TReplacingFile::TReplacingFile(const std::string& target) : target_(target) {
  if (target.empty()) return;
  std::string pattern = target + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) return;
  fd_ = fd;
  temp_path_ = name.data();
  // mkstemp creates the file for the owner only; a replaced file should get
  // the usual permissions of a new file, or keep those of the one it replaces.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    ::fchmod(fd_, st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
}

TReplacingFile::~TReplacingFile() { Discard(); }

bool TReplacingFile::Write(const void* data, size_t len) {
  if (fd_ < 0 || failed_) return false;
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    ssize_t n = ::write(fd_, p, len);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    p += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

bool TReplacingFile::Commit() {
  if (fd_ < 0 || failed_) {
    Discard();
    return false;
  }
  bool ok = ::fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  if (!ok || ::rename(temp_path_.c_str(), target_.c_str()) != 0) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  return true;
}

void TReplacingFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
}
