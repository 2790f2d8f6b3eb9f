#pragma once

// AsfAttributeStore: the attributes of one ASF file (WMA, WMV, ASF), read
// from its header and written back with a new header.
//
// The store presents the attributes the way the attribute interface expects
// them: the five texts of the Content Description Object under the names
// "Title", "Author", "Copyright", "Description" and "Rating"; every
// descriptor of the Extended Content Description Object; every record of the
// Metadata and Metadata Library Objects inside the Header Extension Object.
// They come in file order, duplicates as they stand.
//
// Set changes or adds an attribute in memory; Close writes the changed
// header to a temporary file beside the original (the bytes after the header
// copied unchanged) and renames it over the original in one step. On any
// failure the original stays as it was and no temporary file is left.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tagbridge/asf_format.h"

struct AsfAttribute {
  enum Kind : uint8_t { kContentDescription, kExtendedContent, kMetadata, kMetadataLibrary };

  std::u16string Name;  // without its terminating zero unit
  uint32_t Type = kAttrString;  // interface type code; kAttrUnknown for a data type this store does not know
  uint16_t DiskType = 0;        // the data type number as stored (written back unchanged)
  std::string Value;  // the value bytes as the file stores them
  Kind Source = kExtendedContent;
  size_t Owner = 0;        // index of the owning object (top level, or in the Header Extension)
  uint16_t Language = 0;   // Metadata Library: language list index; Metadata: the reserved word
  uint16_t Stream = 0;     // Metadata and Metadata Library: stream number
};

class AsfAttributeStore {
 public:
  // Reads the header of the file at path (UTF-8). False when the file cannot
  // be opened or does not begin with an ASF Header Object. A damaged header
  // still opens with the attributes that could be read, but cannot be
  // written.
  bool Open(const std::string& path);
  int64_t FileSize() const { return file_size_; }
  bool Writable() const { return intact_; }

  size_t Count() const { return attributes_.size(); }
  const AsfAttribute* At(size_t index) const { return index < attributes_.size() ? &attributes_[index] : nullptr; }
  // The value as the interface presents it: strings end in a zero unit,
  // booleans are four bytes.
  static std::string PresentedValue(const AsfAttribute& attribute);

  // Changes or adds an attribute. The attribute whose name matches (ASCII
  // letter case ignored) first takes the value; later ones of the same name
  // are removed, so every reader then sees the one new value. A new name
  // goes to the Content Description Object when it is one of its five texts,
  // else to the Extended Content Description Object (a GUID to the Metadata
  // Library Object). False, with nothing changed, when the value does not
  // fit its type or the header cannot be written.
  bool Set(const std::u16string& name, uint32_t type, const std::string& value);
  bool Changed() const { return changed_; }

  // Writes the changes, if any; false when writing failed (the original is
  // then untouched). The store is empty afterwards.
  bool Close();

  // The header as it would be written now (tests look at it).
  std::string BuildHeader() const;

 private:
  struct Object {
    AsfGuid Guid{};
    std::string Bytes;  // the whole object as read, header included
    bool Dirty = false;
  };

  static bool NextChild(std::string_view area, size_t& pos, Object& out);
  void ParseTopLevel();
  void ParseHeaderExtension(size_t index);
  void ParseContentDescription(size_t index);
  void ParseExtendedContent(size_t index);
  void ParseMetadata(const Object& object, size_t index, AsfAttribute::Kind kind);
  bool ReplaceFile() const;
  // The absolute path of the file itself, links followed; empty when it is gone.
  std::string ResolvedPath() const;
  void MarkDirty(const AsfAttribute& attribute);

  size_t FindOrAddObject(std::vector<Object>& objects, const AsfGuid& guid);
  size_t HeaderExtensionIndex();
  std::string BuildObject(const Object& object, size_t index, bool in_extension) const;
  std::string BuildHeaderExtension(const Object& object) const;

  std::string path_;
  int64_t file_size_ = 0;
  std::string original_header_;  // the header as read, to check the file before replacing it
  uint64_t header_size_ = 0;
  std::string header_reserved_;  // bytes 28 and 29 of the Header Object
  std::vector<Object> objects_;
  std::vector<Object> extension_objects_;
  size_t extension_index_ = SIZE_MAX;
  std::vector<AsfAttribute> attributes_;
  bool intact_ = false;
  bool changed_ = false;
};
