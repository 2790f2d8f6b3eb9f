// Tag values are escaped on the way into the page, and the page is written
// in the charset its charset line declares.

#include <gtest/gtest.h>

#include <iconv.h>

#include "report/engine/page_text.h"
#include "report/report_test_support.h"

namespace {

class ReportText : public ::testing::Test {
 protected:
  void SetUp() override { test::PointEngineAt(engine, dir); }

  // The preview page's bytes for one template line over one track.
  std::string Render(const std::string& line, const std::string& track) {
    engine.FAudioFile.FileList = {track};
    dir.Write("Templates/t.htm", line);
    engine.FTemplateName = "t.htm";
    EXPECT_EQ(engine.BuildReport(TReportMode::Preview), TReportResult::Done);
    return test::ReadAll(dir.File("temp/album_preview.htm"));
  }

  test::TempDir dir;
  TReportEngine engine;
};

TEST_F(ReportText, TagValuesAreEscapedWhatTheUserTypedIsNot) {
  std::string track = test::TaggedTrack(dir, "a.mp3",
                                        {{"TIT2", "<script>alert(\"x\")</script>"},
                                         {"TPE1", "Simon & Partners"},
                                         {"TALB", "1 < 2 > 0"},
                                         {"COMM", "<b>bold</b>\r\nnext"},
                                         {"USLT", "a & b\rc"}});
  engine.FTitle = "<em>My</em> list";
  engine.FImageName = "x\"y&z.jpg";
  EXPECT_EQ(Render("<title>{page_title}</title><h1>{title}</h1><p>{artist} / {album}</p>", track),
            "<title><em>My</em> list</title><h1>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;</h1>"
            "<p>Simon &amp; Partners / 1 &lt; 2 &gt; 0</p>\r\n");
  // Escaping comes before the CR step, so the inserted breaks stay markup.
  EXPECT_EQ(Render("{comment}|{lyrics}", track), "&lt;b&gt;bold&lt;/b&gt;<br>\nnext|a &amp; b<br>c\r\n");
  EXPECT_EQ(Render("{image} {image_name} <!-- {charset} -->", track),
            "<img src=\"x&quot;y&amp;z.jpg\"> x&quot;y&amp;z.jpg " + test::PageLines(Render("<!-- {charset} -->", track))[0] +
                "\r\n");
}

TEST_F(ReportText, PageIsWrittenInTheDeclaredCharset) {
  std::string track = test::TaggedTrack(dir, "a.mp3", {{"TIT2", "Ærø 東京 ✓"}, {"TPE1", "Привет"}});
  struct CharsetCase {
    const char* name;
    std::string charset_line;
    std::string expected;
  };
  const std::vector<CharsetCase> cases = {
      {"the default line: Latin-1 bytes, references for the rest",
       CharsetMetaLine("iso-8859-1"), "\xC6r\xF8 &#26481;&#20140; &#10003;|&#1055;&#1088;&#1080;&#1074;&#1077;&#1090;"},
      {"windows-1251 with Cyrillic", CharsetMetaLine("windows-1251"),
       "&#198;r&#248; &#26481;&#20140; &#10003;|\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"charset name in another letter case, single-quoted",
       "<meta charset='KOI8-R'>", "&#198;r&#248; &#26481;&#20140; &#10003;|\xF0\xD2\xC9\xD7\xC5\xD4"},
      {"an unknown charset gives UTF-8", CharsetMetaLine("x-no-such"), "Ærø 東京 ✓|Привет"},
      {"no charset at all gives UTF-8", "", "Ærø 東京 ✓|Привет"},
  };
  for (const auto& c : cases) {
    engine.FCharsetLine = c.charset_line;
    EXPECT_EQ(Render("{title}|{artist}", track), c.expected + "\r\n") << c.name;
  }
}

// Converts bytes of a charset back to UTF-8 with the system's converter.
std::string ToUtf8(const std::string& bytes, const char* charset) {
  iconv_t cd = iconv_open("UTF-8", charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return "(no converter)";
  std::string out(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  size_t result = iconv(cd, &in, &in_left, &dst, &dst_left);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return "(not convertible)";
  out.resize(out.size() - dst_left);
  return out;
}

TEST(PageEncoding, StatefulAndWideCharsetsGetTheirReferencesRight) {
  // A character the charset lacks between two it holds: the reference must
  // come out in the charset's own encoding, after a shift back to ASCII.
  std::string page = "東✓京\r\n";
  EXPECT_EQ(ToUtf8(EncodePage(page, "iso-2022-jp"), "ISO-2022-JP"), "東&#10003;京\r\n");
  EXPECT_EQ(ToUtf8(EncodePage("a\xFF" "b", "UTF-16LE"), "UTF-16LE"), "a&#65533;b");
  // Bytes that are not UTF-8 become U+FFFD references in a UTF-8 page too.
  EXPECT_EQ(EncodePage("ok \xC3 \xE2\x82 end", ""), "ok &#65533; &#65533;&#65533; end");
}

TEST(PageEncoding, CharsetNameIsTakenFromTheLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {CharsetMetaLine("iso-8859-1"), "iso-8859-1"},
      {"<meta charset=\"Shift_JIS\">", "Shift_JIS"},
      {"<META CONTENT=\"text/html; CHARSET=big5 \">", "big5"},
      {"<meta content=\"text/html; charset=\">", ""},
      {"<meta name=\"x\">", ""},
  };
  for (const auto& [line, name] : cases) EXPECT_EQ(DeclaredCharset(line), name) << line;
}

TEST(TemplateLines, AnyLineEndAndEitherEncoding) {
  EXPECT_EQ(SplitTemplateLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTemplateLines("a\n\n\r\nb\n"), (std::vector<std::string>{"a", "", "", "b"}));
  EXPECT_EQ(SplitTemplateLines("\xEF\xBB\xBF" "caf\xC3\xA9\n"), std::vector<std::string>{"café"});
  EXPECT_EQ(SplitTemplateLines("caf\xE9 \x80\r\n"), std::vector<std::string>{"café €"});
  EXPECT_TRUE(SplitTemplateLines("").empty());
}

}  // namespace
