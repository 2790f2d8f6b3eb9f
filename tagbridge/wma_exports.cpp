// The Windows Media attribute interface: one open file and one current
// attribute record, process-wide. Every export catches every failure and
// answers with its failure value.

#include <climits>
#include <cstring>
#include <memory>

#include "tagbridge/asf_store.h"
#include "tagbridge/orva_tags.h"
#include "tagbridge/wma_text.h"

namespace {

constexpr int32_t kNameUnits = 520;  // the name buffer of a record, terminator included
// Paths longer than this are not paths any file system here accepts.
constexpr size_t kMaxPathUnits = 1u << 16;
constexpr size_t kMaxNameScan = 1u << 15;

std::unique_ptr<AsfAttributeStore> g_store;
WmaAttribute* g_record = nullptr;

void FreeRecord() {
  if (g_record == nullptr) return;
  delete[] g_record->Name;
  delete[] g_record->Value;
  delete g_record;
  g_record = nullptr;
}

// A file size as the 32-bit result: sizes of 2 GiB and more come out
// negative and are read back as unsigned; 4 GiB and more saturate, so a
// large file never looks like a failure (0).
int32_t SizeResult(int64_t size) {
  uint64_t clamped = size > static_cast<int64_t>(UINT32_MAX) ? UINT32_MAX : static_cast<uint64_t>(size);
  uint32_t bits = static_cast<uint32_t>(clamped);
  int32_t result;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

}  // namespace

extern "C" {

ORVA_EXPORT int32_t WMA_Begin(const uint16_t* path) {
  try {
    std::u16string units;
    std::string utf8;
    if (!WmaReadUtf16(path, kMaxPathUnits, units) || units.empty() || !WmaUtf16ToUtf8(units, utf8)) return 0;
    if (g_store) return 0;  // one file at a time; the open one stays open
    auto store = std::make_unique<AsfAttributeStore>();
    if (!store->Open(utf8) || store->FileSize() == 0) return 0;
    int32_t size = SizeResult(store->FileSize());
    g_store = std::move(store);
    return size;
  } catch (...) {
    return 0;
  }
}

ORVA_EXPORT int32_t WMA_GetTagsCount(void) {
  try {
    if (!g_store) return -1;
    size_t count = g_store->Count();
    return static_cast<int32_t>(count > 0xFFFF ? 0xFFFF : count);
  } catch (...) {
    return -1;
  }
}

ORVA_EXPORT WmaAttribute* WMA_GetTagByIndex(uint32_t index) {
  try {
    FreeRecord();
    if (!g_store) return nullptr;
    const AsfAttribute* attribute = g_store->At(index & 0xFFFF);
    if (attribute == nullptr) return nullptr;
    g_record = new WmaAttribute{};
    g_record->Type = static_cast<int32_t>(attribute->Type);
    g_record->Name = new uint16_t[kNameUnits]();
    size_t units = attribute->Name.size() < kNameUnits - 1 ? attribute->Name.size() : kNameUnits - 1;
    for (size_t i = 0; i < units; ++i) g_record->Name[i] = attribute->Name[i];
    g_record->NameLength = static_cast<int32_t>(units + 1);
    std::string value = AsfAttributeStore::PresentedValue(*attribute);
    if (!value.empty() && value.size() <= static_cast<size_t>(INT32_MAX)) {
      g_record->Value = new uint8_t[value.size()];
      std::memcpy(g_record->Value, value.data(), value.size());
      g_record->ValueLength = static_cast<int32_t>(value.size());
    }
    return g_record;
  } catch (...) {
    return g_record;
  }
}

ORVA_EXPORT int32_t WMA_SetTag(const uint16_t* name, int32_t type, const uint8_t* value, uint16_t length) {
  try {
    if (!g_store || type < 0) return 0;
    if (value == nullptr && length != 0) return 0;
    std::u16string units;
    if (!WmaReadUtf16(name, kMaxNameScan, units)) return 0;
    std::string bytes;
    if (value != nullptr) bytes.assign(reinterpret_cast<const char*>(value), length);
    return g_store->Set(units, static_cast<uint32_t>(type), bytes) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

ORVA_EXPORT void WMA_End(void) {
  try {
    FreeRecord();
    if (g_store) {
      std::unique_ptr<AsfAttributeStore> store = std::move(g_store);
      store->Close();
    }
  } catch (...) {
    g_store.reset();
  }
}

}  // extern "C"
