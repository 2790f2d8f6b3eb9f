#include <gtest/gtest.h>

#include "toolkit/base64.h"

namespace {

TEST(Base64, Decode) {
  struct Case {
    const char* text;
    bool ok;
    std::string bytes;
  } cases[] = {
      {"", true, ""},
      {"Zg==", true, "f"},
      {"Zm8=", true, "fo"},
      {"Zm9v", true, "foo"},
      {"Zm9vYg", true, "foob"},  // padding left off
      {"AP8A/w+/", true, std::string("\x00\xFF\x00\xFF\x0F\xBF", 6)},
      {"Zm9vY", false, ""},      // five characters hold no whole last byte
      {"Zm9v\nYmFy", false, ""},  // a line break is no base64
      {"Zm-v", false, ""},        // the URL alphabet is not this one
      {"Zm=v", false, ""},        // padding inside the text
  };
  for (const Case& c : cases) {
    std::string out = "left over";
    EXPECT_EQ(Base64Decode(c.text, out), c.ok) << c.text;
    EXPECT_EQ(out, c.bytes) << c.text;
  }
}

}  // namespace
