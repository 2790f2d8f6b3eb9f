// The Ogg half of the C interface. One read and one write list at a time,
// held in process-wide state. Every record and buffer that crosses is the
// library's; no exception leaves any of these functions.

#include <cstring>
#include <memory>
#include <new>

#include "tagbridge/ogg_comment_editor.h"
#include "tagbridge/orva_tags.h"

namespace {

OggHeaderInfo* g_header = nullptr;
OggTagsInfo* g_tags = nullptr;
OggTagList* g_write_list = nullptr;

void FreeReadRecords() {
  if (g_tags != nullptr) {
    delete[] g_tags->Comments;
    delete[] g_tags->Vendor;
    delete g_tags;
    g_tags = nullptr;
  }
  delete g_header;
  g_header = nullptr;
}

// Count zero-terminated entries one after the other, then one more zero.
char* PackComments(const std::vector<std::string>& entries) {
  size_t size = 1;
  for (const std::string& e : entries) size += e.size() + 1;
  char* block = new char[size]();
  char* p = block;
  for (const std::string& e : entries) {
    std::memcpy(p, e.data(), e.size());
    p += e.size() + 1;
  }
  return block;
}

char* CopyText(const std::string& text) {
  char* copy = new char[text.size() + 1]();
  std::memcpy(copy, text.data(), text.size());
  return copy;
}

void FillRecords(const char* path) {
  OggTagList tags;
  OggStreamSummary summary;
  if (!OggCommentEditor::Read(path, tags, summary)) return;  // both records stay zero

  // The tags record is filled completely before anything is set, so that a
  // failed allocation leaves it empty rather than half filled.
  std::unique_ptr<char[]> comments(tags.Count > 0 ? PackComments(tags.Entries) : nullptr);
  std::unique_ptr<char[]> vendor(tags.Vendor.empty() ? nullptr : CopyText(tags.Vendor));
  g_tags->Count = tags.Count;
  g_tags->Comments = comments.release();
  g_tags->Vendor = vendor.release();

  g_header->Valid = 1;
  g_header->Channels = summary.Channels;
  g_header->SampleRate = summary.SampleRate;
  g_header->NominalBitrate = summary.NominalBitrate;
  // Sizes beyond the 32-bit field are shown at its maximum.
  g_header->FileSize = summary.FileSize > INT32_MAX ? INT32_MAX : static_cast<int32_t>(summary.FileSize);
  g_header->Duration = summary.Duration;
}

}  // namespace

extern "C" {

void OGG_BeginReadTags(const char* path) {
  try {
    // Records of a read that was not ended are no longer reachable by the
    // caller once new ones are current, so they are freed here.
    FreeReadRecords();
    g_header = new OggHeaderInfo{};
    g_tags = new OggTagsInfo{};
    FillRecords(path);
  } catch (...) {
    if (g_header != nullptr) *g_header = OggHeaderInfo{};
    if (g_tags != nullptr) *g_tags = OggTagsInfo{};
  }
}

OggHeaderInfo* OGG_GetHeaderInfo(void) { return g_header; }

OggTagsInfo* OGG_GetTagsInfo(void) { return g_tags; }

void OGG_EndReadTags(void) { FreeReadRecords(); }

void OGG_BeginWriteTags(void) {
  try {
    delete g_write_list;
    g_write_list = nullptr;
    g_write_list = new OggTagList{};
  } catch (...) {
  }
}

void* OGG_AddTag(const char* name, const char* value) {
  try {
    if (g_write_list == nullptr) return nullptr;
    if (name == nullptr) return g_write_list;
    if (value == nullptr) return nullptr;
    g_write_list->Entries.push_back(std::string(name) + "=" + value);
    g_write_list->Count = static_cast<int32_t>(g_write_list->Entries.size());
    return g_write_list;
  } catch (...) {
    return nullptr;
  }
}

void OGG_AddVendor(const char* vendor) {
  try {
    if (g_write_list != nullptr) g_write_list->Vendor = vendor != nullptr ? vendor : "";
  } catch (...) {
  }
}

int32_t OGG_EndWriteTags(const char* path) {
  std::unique_ptr<OggTagList> list(g_write_list);
  g_write_list = nullptr;
  if (!list) return 0;
  try {
    OggCommentEditor editor;
    return editor.Rewrite(path, *list) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

}  // extern "C"
