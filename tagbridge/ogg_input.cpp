#include "tagbridge/ogg_input.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool OggInput::Open(const char* path) {
  Close();
  if (path == nullptr || *path == 0) return false;
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = st.st_size;
  pos_ = 0;
  mode_ = st.st_mode & 07777;
  return true;
}

void OggInput::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  pos_ = 0;
}

size_t OggInput::Read(char* buf, size_t len) {
  if (fd_ < 0 || len == 0) return 0;
  for (;;) {
    ssize_t got = ::pread(fd_, buf, len, pos_);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return 0;
    pos_ += got;
    return static_cast<size_t>(got);
  }
}

bool OggInput::ReadAt(int64_t offset, size_t len, std::string& out) const {
  out.clear();
  if (fd_ < 0 || offset < 0) return false;
  if (offset >= size_) return true;
  if (static_cast<uint64_t>(len) > static_cast<uint64_t>(size_ - offset)) len = static_cast<size_t>(size_ - offset);
  out.resize(len);
  size_t done = 0;
  while (done < len) {
    ssize_t got = ::pread(fd_, out.data() + done, len - done, offset + static_cast<int64_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  out.resize(done);
  return true;
}
