#include "tagbridge/asf_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "tagbridge/asf_io.h"

namespace {

// The whole header is held in memory. Real headers, cover art included, stay
// far below this; a header declared larger is taken as damaged and only its
// first part is read.
constexpr uint64_t kMaxHeaderBytes = 64u << 20;

// The longest name the interface record can hold (520 units with the zero).
constexpr size_t kMaxNameUnits = 519;

const char16_t* const kContentNames[5] = {u"Title", u"Author", u"Copyright", u"Description", u"Rating"};
constexpr size_t kContentHeaderSize = 34;  // object header and the five lengths

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

// Index of name among the five Content Description texts, or -1.
int ContentSlot(const std::u16string& name) {
  for (int i = 0; i < 5; ++i)
    if (SameNameIgnoringCase(name, kContentNames[i])) return i;
  return -1;
}

// A name as stored: UTF-16LE, normally ending in a zero unit. False for an
// odd byte count (the last byte is then dropped).
bool DecodeName(std::string_view bytes, std::u16string& name) {
  name.clear();
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    name.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  while (!name.empty() && name.back() == 0) name.pop_back();
  return bytes.size() % 2 == 0;
}

uint32_t TypeFromDisk(uint16_t disk_type, AsfAttribute::Kind kind) {
  if (disk_type > 6) return kAttrUnknown;
  // A GUID is defined for the Metadata Library Object only.
  if (disk_type == 6 && kind != AsfAttribute::kMetadataLibrary) return kAttrUnknown;
  return kAttrTypeFromDisk[disk_type];
}

// The value length each fixed-size type must have (0: any length).
size_t FixedLength(uint32_t type) {
  switch (type) {
    case kAttrDword:
    case kAttrBool:
      return 4;
    case kAttrQword:
      return 8;
    case kAttrWord:
      return 2;
    case kAttrGuid:
      return 16;
    default:
      return 0;
  }
}

// Whether an object of this kind can hold the value: the Extended Content
// Description Object keeps 16-bit lengths and knows no GUID; the Metadata
// Object knows no GUID either; the Content Description Object holds text only.
bool KindHolds(AsfAttribute::Kind kind, uint32_t type, size_t stored_size) {
  switch (kind) {
    case AsfAttribute::kContentDescription:
      return type == kAttrString && stored_size <= 0xFFFF;
    case AsfAttribute::kExtendedContent:
      return type != kAttrGuid && stored_size <= 0xFFFF;
    case AsfAttribute::kMetadata:
      return type != kAttrGuid && stored_size <= 0xFFFFFFFFu;
    case AsfAttribute::kMetadataLibrary:
      return stored_size <= 0xFFFFFFFFu;
  }
  return false;
}

// The value as an object of this kind stores it: booleans take 4 bytes in
// the Extended Content Description Object and 2 in the Metadata objects.
std::string StoredValue(AsfAttribute::Kind kind, uint32_t type, const std::string& value) {
  if (type != kAttrBool) return value;
  bool set = value.find_first_not_of('\0') != std::string::npos;
  std::string out;
  AsfPutLe(out, set ? 1 : 0, kind == AsfAttribute::kExtendedContent ? 4 : 2);
  return out;
}

}  // namespace

bool AsfAttributeStore::Open(const std::string& path) {
  *this = AsfAttributeStore();
  if (path.empty()) return false;
  AsfFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen()) return false;
  struct stat st {};
  std::string start;
  bool ok = ::fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode) && AsfReadExact(fd.Get(), 0, kAsfHeaderObjectSize, start) &&
            GuidAt(start, 0, kAsfHeaderObject);
  if (!ok) return false;
  file_size_ = static_cast<int64_t>(st.st_size);
  uint64_t file_size = static_cast<uint64_t>(st.st_size);
  header_size_ = AsfLe64(start, 16);
  intact_ = header_size_ >= kAsfHeaderObjectSize && header_size_ <= file_size && header_size_ <= kMaxHeaderBytes;
  uint64_t limit = header_size_;
  if (!intact_) limit = file_size < kMaxHeaderBytes ? file_size : kMaxHeaderBytes;
  if (!AsfReadExact(fd.Get(), 0, static_cast<size_t>(limit), original_header_)) {
    intact_ = false;  // the file shrank since fstat
    if (original_header_.size() < kAsfHeaderObjectSize) {
      *this = AsfAttributeStore();
      return false;
    }
  }
  path_ = path;
  header_reserved_ = original_header_.substr(28, 2);
  ParseTopLevel();
  return true;
}

// The object at pos of area, when its 24-byte header and its declared size
// fit what is left; pos then moves past it.
bool AsfAttributeStore::NextChild(std::string_view area, size_t& pos, Object& out) {
  size_t remaining = area.size() - pos;
  if (remaining < kAsfObjectHeaderSize) return false;
  uint64_t size = AsfLe64(area, pos + 16);
  if (size < kAsfObjectHeaderSize || size > remaining) return false;
  std::copy(area.begin() + static_cast<std::ptrdiff_t>(pos), area.begin() + static_cast<std::ptrdiff_t>(pos + 16),
            out.Guid.begin());
  out.Bytes = std::string(area.substr(pos, static_cast<size_t>(size)));
  out.Dirty = false;
  pos += static_cast<size_t>(size);
  return true;
}

// The children of the Header Object. Each takes at least its 24-byte header,
// so the walk ends after at most one step per 24 bytes whatever the count says.
void AsfAttributeStore::ParseTopLevel() {
  std::string_view header = original_header_;
  uint32_t count = AsfLe32(header, 24);
  size_t pos = kAsfHeaderObjectSize;
  uint32_t found = 0;
  for (; found < count; ++found) {
    Object object;
    if (!NextChild(header, pos, object)) break;
    objects_.push_back(std::move(object));
    size_t index = objects_.size() - 1;
    const AsfGuid& guid = objects_[index].Guid;
    if (guid == kAsfContentDescription) {
      ParseContentDescription(index);
    } else if (guid == kAsfExtendedContentDescription) {
      ParseExtendedContent(index);
    } else if (guid == kAsfHeaderExtension && extension_index_ == SIZE_MAX) {
      ParseHeaderExtension(index);
    }
  }
  if (found != count || pos != header.size()) intact_ = false;
}

void AsfAttributeStore::ParseContentDescription(size_t index) {
  std::string_view b = objects_[index].Bytes;
  if (b.size() < kContentHeaderSize) {
    intact_ = false;
    return;
  }
  size_t pos = kContentHeaderSize;
  for (size_t i = 0; i < 5; ++i) {
    uint16_t len = AsfLe16(b, 24 + 2 * i);
    if (len > b.size() - pos) {
      intact_ = false;
      return;
    }
    AsfAttribute a;
    a.Name = kContentNames[i];
    a.DiskType = 0;
    a.Type = kAttrString;
    a.Value = std::string(b.substr(pos, len));
    a.Source = AsfAttribute::kContentDescription;
    a.Owner = index;
    attributes_.push_back(std::move(a));
    pos += len;
  }
}

// Descriptors: 2 name length, name, 2 data type, 2 value length, value.
void AsfAttributeStore::ParseExtendedContent(size_t index) {
  std::string_view b = objects_[index].Bytes;
  if (b.size() < kAsfObjectHeaderSize + 2) {
    intact_ = false;
    return;
  }
  uint16_t count = AsfLe16(b, 24);
  size_t pos = kAsfObjectHeaderSize + 2;
  for (uint16_t i = 0; i < count; ++i) {
    AsfAttribute a;
    if (b.size() - pos < 2) break;
    uint16_t name_len = AsfLe16(b, pos);
    pos += 2;
    if (b.size() - pos < name_len) break;
    if (!DecodeName(b.substr(pos, name_len), a.Name)) intact_ = false;
    pos += name_len;
    if (b.size() - pos < 4) break;
    a.DiskType = AsfLe16(b, pos);
    uint16_t value_len = AsfLe16(b, pos + 2);
    pos += 4;
    if (b.size() - pos < value_len) break;
    a.Value = std::string(b.substr(pos, value_len));
    pos += value_len;
    a.Type = TypeFromDisk(a.DiskType, AsfAttribute::kExtendedContent);
    a.Source = AsfAttribute::kExtendedContent;
    a.Owner = index;
    attributes_.push_back(std::move(a));
    if (i + 1 == count) return;
  }
  if (count != 0) intact_ = false;
}

void AsfAttributeStore::ParseHeaderExtension(size_t index) {
  extension_index_ = index;
  std::string_view b = objects_[index].Bytes;
  if (b.size() < kAsfHeaderExtensionDataOffset) {
    intact_ = false;
    return;
  }
  uint32_t data_size = AsfLe32(b, 42);
  size_t available = b.size() - kAsfHeaderExtensionDataOffset;
  if (data_size != available) intact_ = false;
  std::string_view data = b.substr(kAsfHeaderExtensionDataOffset, data_size < available ? data_size : available);
  size_t pos = 0;
  Object object;
  while (NextChild(data, pos, object)) {
    extension_objects_.push_back(std::move(object));
    size_t child = extension_objects_.size() - 1;
    if (extension_objects_[child].Guid == kAsfMetadata) {
      ParseMetadata(extension_objects_[child], child, AsfAttribute::kMetadata);
    } else if (extension_objects_[child].Guid == kAsfMetadataLibrary) {
      ParseMetadata(extension_objects_[child], child, AsfAttribute::kMetadataLibrary);
    }
  }
  if (pos != data.size()) intact_ = false;
}

// Records: 2 language index (reserved in the Metadata Object), 2 stream
// number, 2 name length, 2 data type, 4 data length, name, data.
void AsfAttributeStore::ParseMetadata(const Object& object, size_t index, AsfAttribute::Kind kind) {
  std::string_view b = object.Bytes;
  if (b.size() < kAsfObjectHeaderSize + 2) {
    intact_ = false;
    return;
  }
  uint16_t count = AsfLe16(b, 24);
  size_t pos = kAsfObjectHeaderSize + 2;
  for (uint16_t i = 0; i < count; ++i) {
    if (b.size() - pos < 12) break;
    AsfAttribute a;
    a.Language = AsfLe16(b, pos);
    a.Stream = AsfLe16(b, pos + 2);
    uint16_t name_len = AsfLe16(b, pos + 4);
    a.DiskType = AsfLe16(b, pos + 6);
    uint32_t data_len = AsfLe32(b, pos + 8);
    pos += 12;
    if (b.size() - pos < name_len) break;
    if (!DecodeName(b.substr(pos, name_len), a.Name)) intact_ = false;
    pos += name_len;
    if (b.size() - pos < data_len) break;
    a.Value = std::string(b.substr(pos, data_len));
    pos += data_len;
    a.Type = TypeFromDisk(a.DiskType, kind);
    a.Source = kind;
    a.Owner = index;
    attributes_.push_back(std::move(a));
    if (i + 1 == count) return;
  }
  if (count != 0) intact_ = false;
}

std::string AsfAttributeStore::PresentedValue(const AsfAttribute& attribute) {
  std::string value = attribute.Value;
  if (attribute.Type == kAttrString) {
    if (value.size() % 2 != 0) value.pop_back();
    if (value.size() >= 2 && (value[value.size() - 2] != 0 || value.back() != 0)) value.append(2, '\0');
  } else if (attribute.Type == kAttrBool) {
    bool set = value.find_first_not_of('\0') != std::string::npos;
    value.clear();
    AsfPutLe(value, set ? 1 : 0, 4);
  }
  return value;
}

size_t AsfAttributeStore::FindOrAddObject(std::vector<Object>& objects, const AsfGuid& guid) {
  for (size_t i = 0; i < objects.size(); ++i)
    if (objects[i].Guid == guid) return i;
  Object object;
  object.Guid = guid;
  object.Bytes = AsfObjectBytes(guid, std::string(2, '\0'));
  object.Dirty = true;
  objects.push_back(std::move(object));
  return objects.size() - 1;
}

size_t AsfAttributeStore::HeaderExtensionIndex() {
  if (extension_index_ != SIZE_MAX) return extension_index_;
  // Reserved GUID, the reserved word 6, and an empty data block.
  std::string body(kAsfHeaderExtensionReserved.begin(), kAsfHeaderExtensionReserved.end());
  AsfPutLe(body, 6, 2);
  AsfPutLe(body, 0, 4);
  Object object;
  object.Guid = kAsfHeaderExtension;
  object.Bytes = AsfObjectBytes(kAsfHeaderExtension, body);
  object.Dirty = true;
  objects_.push_back(std::move(object));
  extension_index_ = objects_.size() - 1;
  return extension_index_;
}

bool AsfAttributeStore::Set(const std::u16string& name, uint32_t type, const std::string& value) {
  if (!intact_ || path_.empty()) return false;
  if (name.empty() || name.size() > kMaxNameUnits || name.find(u'\0') != std::u16string::npos) return false;
  if (type > kAttrGuid) return false;
  size_t fixed = FixedLength(type);
  if (fixed != 0 && value.size() != fixed) return false;
  if (type == kAttrString && value.size() % 2 != 0) return false;
  // The file is replaced through a new file in its folder.
  std::string file = ResolvedPath();
  if (file.empty() || ::access(file.substr(0, file.rfind('/') + 1).c_str(), W_OK | X_OK) != 0) return false;

  std::string stored = value;
  if (type == kAttrString && !stored.empty() && (stored[stored.size() - 2] != 0 || stored.back() != 0))
    stored.append(2, '\0');

  int slot = ContentSlot(name);
  if (slot >= 0 && !KindHolds(AsfAttribute::kContentDescription, type, stored.size())) return false;

  // Where the value goes: the Content Description text, the first attribute
  // of that name, or a new attribute.
  size_t target = SIZE_MAX;
  if (slot >= 0) {
    size_t cdo = SIZE_MAX;
    for (size_t i = 0; i < objects_.size() && cdo == SIZE_MAX; ++i)
      if (objects_[i].Guid == kAsfContentDescription) cdo = i;
    if (cdo == SIZE_MAX) {
      cdo = FindOrAddObject(objects_, kAsfContentDescription);
      objects_[cdo].Bytes = AsfObjectBytes(kAsfContentDescription, std::string(10, '\0'));
      for (const char16_t* n : kContentNames) {
        AsfAttribute a;
        a.Name = n;
        a.Source = AsfAttribute::kContentDescription;
        a.Owner = cdo;
        attributes_.push_back(a);
      }
    }
    for (size_t i = 0; i < attributes_.size() && target == SIZE_MAX; ++i)
      if (attributes_[i].Source == AsfAttribute::kContentDescription && attributes_[i].Owner == cdo &&
          attributes_[i].Name == kContentNames[slot])
        target = i;
  } else {
    for (size_t i = 0; i < attributes_.size() && target == SIZE_MAX; ++i)
      if (SameNameIgnoringCase(attributes_[i].Name, name) &&
          KindHolds(attributes_[i].Source, type, StoredValue(attributes_[i].Source, type, stored).size()))
        target = i;
  }
  if (target == SIZE_MAX) {
    AsfAttribute a;
    a.Name = name;
    if (KindHolds(AsfAttribute::kExtendedContent, type, stored.size())) {
      a.Source = AsfAttribute::kExtendedContent;
      a.Owner = FindOrAddObject(objects_, kAsfExtendedContentDescription);
    } else {
      HeaderExtensionIndex();
      a.Source = AsfAttribute::kMetadataLibrary;
      a.Owner = FindOrAddObject(extension_objects_, kAsfMetadataLibrary);
    }
    size_t held = 0;
    for (const AsfAttribute& other : attributes_)
      if (other.Source == a.Source && other.Owner == a.Owner) ++held;
    if (held >= 0xFFFF) return false;  // the record count is 16 bits
    // Insert after the last attribute of the same object, so the order in
    // memory stays the order of the file that will be written.
    size_t at = attributes_.size();
    for (size_t i = attributes_.size(); i > 0; --i)
      if (attributes_[i - 1].Source == a.Source && attributes_[i - 1].Owner == a.Owner) {
        at = i;
        break;
      }
    attributes_.insert(attributes_.begin() + static_cast<std::ptrdiff_t>(at), a);
    target = at;
  }

  AsfAttribute& t = attributes_[target];
  if (t.Source != AsfAttribute::kContentDescription) t.Name = name;
  t.Type = type;
  t.DiskType = kDiskTypeFromAttr[type];
  t.Value = StoredValue(t.Source, type, stored);
  MarkDirty(t);

  // The other attributes of the same name go, so no reader sees an old
  // value beside the new one. A Content Description text is emptied instead.
  for (size_t i = attributes_.size(); i > 0; --i) {
    size_t k = i - 1;
    if (k == target || !SameNameIgnoringCase(attributes_[k].Name, name)) continue;
    MarkDirty(attributes_[k]);
    if (attributes_[k].Source == AsfAttribute::kContentDescription) {
      attributes_[k].Value.clear();
    } else {
      attributes_.erase(attributes_.begin() + static_cast<std::ptrdiff_t>(k));
      if (k < target) --target;
    }
  }
  changed_ = true;
  return true;
}

void AsfAttributeStore::MarkDirty(const AsfAttribute& attribute) {
  bool in_extension = attribute.Source == AsfAttribute::kMetadata || attribute.Source == AsfAttribute::kMetadataLibrary;
  if (in_extension) {
    extension_objects_[attribute.Owner].Dirty = true;
    objects_[extension_index_].Dirty = true;
  } else {
    objects_[attribute.Owner].Dirty = true;
  }
}

bool AsfAttributeStore::Close() {
  bool ok = !changed_ || ReplaceFile();
  *this = AsfAttributeStore();
  return ok;
}
