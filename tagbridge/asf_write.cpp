// Writing the attribute store back: a new header built from the changed
// objects (the others copied as read), then the rest of the file copied
// unchanged, into a temporary file that is renamed over the original.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "tagbridge/asf_io.h"
#include "tagbridge/asf_store.h"

namespace {

void PutName(std::string& out, const std::u16string& name) {
  for (char16_t c : name) AsfPutLe(out, c, 2);
  AsfPutLe(out, 0, 2);
}

}  // namespace

std::string AsfAttributeStore::BuildObject(const Object& object, size_t index, bool in_extension) const {
  if (!object.Dirty) return object.Bytes;
  auto owned = [&](const AsfAttribute& a) {
    bool a_in_extension = a.Source == AsfAttribute::kMetadata || a.Source == AsfAttribute::kMetadataLibrary;
    return a_in_extension == in_extension && a.Owner == index;
  };
  std::string body;
  if (object.Guid == kAsfContentDescription) {
    std::string texts;
    for (const AsfAttribute& a : attributes_)
      if (owned(a)) {
        AsfPutLe(body, a.Value.size(), 2);
        texts += a.Value;
      }
    return AsfObjectBytes(object.Guid, body + texts);
  }
  if (object.Guid == kAsfHeaderExtension) return BuildHeaderExtension(object);
  bool extended = object.Guid == kAsfExtendedContentDescription;
  uint16_t count = 0;
  std::string records;
  for (const AsfAttribute& a : attributes_) {
    if (!owned(a)) continue;
    ++count;
    if (extended) {
      AsfPutLe(records, 2 * (a.Name.size() + 1), 2);
      PutName(records, a.Name);
      AsfPutLe(records, a.DiskType, 2);
      AsfPutLe(records, a.Value.size(), 2);
    } else {
      AsfPutLe(records, a.Language, 2);
      AsfPutLe(records, a.Stream, 2);
      AsfPutLe(records, 2 * (a.Name.size() + 1), 2);
      AsfPutLe(records, a.DiskType, 2);
      AsfPutLe(records, a.Value.size(), 4);
      PutName(records, a.Name);
    }
    records += a.Value;
  }
  AsfPutLe(body, count, 2);
  return AsfObjectBytes(object.Guid, body + records);
}

// The Header Extension keeps its reserved fields; its data size follows the
// children as they are now.
std::string AsfAttributeStore::BuildHeaderExtension(const Object& object) const {
  std::string data;
  for (size_t i = 0; i < extension_objects_.size(); ++i) data += BuildObject(extension_objects_[i], i, true);
  std::string body = object.Bytes.substr(kAsfObjectHeaderSize, 18);
  AsfPutLe(body, data.size(), 4);
  return AsfObjectBytes(object.Guid, body + data);
}

std::string AsfAttributeStore::BuildHeader() const {
  std::string children;
  size_t file_properties = SIZE_MAX;
  size_t file_properties_size = 0;
  for (size_t i = 0; i < objects_.size(); ++i) {
    std::string object = BuildObject(objects_[i], i, false);
    if (objects_[i].Guid == kAsfFileProperties && file_properties == SIZE_MAX) {
      file_properties = children.size();
      file_properties_size = object.size();
    }
    children += object;
  }
  std::string header(kAsfHeaderObject.begin(), kAsfHeaderObject.end());
  uint64_t header_size = kAsfHeaderObjectSize + children.size();
  AsfPutLe(header, header_size, 8);
  AsfPutLe(header, objects_.size(), 4);
  header += header_reserved_;
  header += children;
  // The File Properties Object states the size of the whole file, which
  // changes with the header (not set in a broadcast file, flag bit 0). A
  // File Properties Object too short to hold its fields is left as it is:
  // the bytes past its end belong to the next object.
  if (file_properties != SIZE_MAX) {
    size_t at = kAsfHeaderObjectSize + file_properties;
    std::string_view fp = std::string_view(header).substr(at, file_properties_size);
    if (fp.size() >= kAsfFilePropertiesFlags + 4 && (AsfLe32(fp, kAsfFilePropertiesFlags) & 1) == 0) {
      uint64_t total = header_size + (static_cast<uint64_t>(file_size_) - header_size_);
      std::string size_bytes;
      AsfPutLe(size_bytes, total, 8);
      header.replace(at + kAsfFilePropertiesFileSize, 8, size_bytes);
    }
  }
  return header;
}

// A link is followed: the file it names is replaced, the link stays.
std::string AsfAttributeStore::ResolvedPath() const {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path_.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

bool AsfAttributeStore::ReplaceFile() const {
  const std::string target = ResolvedPath();
  if (target.empty()) return false;
  AsfFd in(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!in.IsOpen() || ::fstat(in.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // Another program may have changed the file since it was read.
  std::string current;
  if (st.st_size != file_size_ || !AsfReadExact(in.Get(), 0, original_header_.size(), current) ||
      current != original_header_)
    return false;

  // A short hidden name in the same folder, so the rename is one step on
  // one file system and a long file name does not make it too long.
  std::string folder = target.substr(0, target.rfind('/') + 1);
  std::string pattern = folder + ".orva_tags.XXXXXX";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  std::string header = BuildHeader();
  AsfFd out(::mkstemp(temp.data()));
  if (!out.IsOpen()) return false;
  // Removes the temporary file on every way out but the rename, an
  // exception included.
  struct Remover {
    const char* path;
    bool keep = false;
    ~Remover() {
      if (!keep) ::unlink(path);
    }
  } remover{temp.data()};
  bool ok = ::fchmod(out.Get(), st.st_mode & 07777) == 0;
  ok = ok && AsfWriteAll(out.Get(), header.data(), header.size());
  // Everything after the header, in pieces of 1 MiB.
  constexpr size_t kPiece = 1u << 20;
  std::string piece;
  for (uint64_t pos = header_size_, end = static_cast<uint64_t>(file_size_); ok && pos < end;) {
    size_t len = end - pos < kPiece ? static_cast<size_t>(end - pos) : kPiece;
    ok = AsfReadExact(in.Get(), pos, len, piece) && AsfWriteAll(out.Get(), piece.data(), piece.size());
    pos += len;
  }
  ok = ok && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  ok = ok && ::rename(temp.data(), target.c_str()) == 0;
  remover.keep = ok;
  return ok;
}
