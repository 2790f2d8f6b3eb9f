// The ASF attribute store behind the Windows Media exports: every attribute
// as the interface presents it, then one attribute set and the file
// rewritten. A rewrite that reports success must read back with the value.
#include <string>

#include "fuzz/fuzz_input.h"
#include "tagbridge/asf_store.h"

namespace {

const std::u16string kName = u"WM/FuzzCheck";
const std::string kValue("c\0h\0e\0c\0k\0\0\0", 12);  // UTF-16LE "check" with its terminator

const AsfAttribute* FindAttribute(const AsfAttributeStore& store) {
  for (size_t i = 0; i < store.Count(); ++i)
    if (store.At(i)->Name == kName) return store.At(i);
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFolderInput input("input.wma");
  input.Set(data, size);
  AsfAttributeStore store;
  if (store.Open(input.Path())) {
    for (size_t i = 0; i < store.Count(); ++i) (void)AsfAttributeStore::PresentedValue(*store.At(i));
    bool set = store.Set(kName, kAttrString, kValue);
    if (store.Close() && set) {
      AsfAttributeStore again;
      if (!again.Open(input.Path()) || !again.Writable()) FuzzFinding("a rewritten header does not read");
      const AsfAttribute* attribute = FindAttribute(again);
      if (attribute == nullptr || attribute->Value != kValue) FuzzFinding("the set attribute does not read back");
      again.Close();
    }
  }
  CheckFilesClosed();
  return 0;
}
