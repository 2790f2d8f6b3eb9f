// Every shipped template, rendered over tracks with awkward tag values,
// gives a page that an HTML parser reads without an error, with the rows,
// title and text where they belong.

#include <gtest/gtest.h>

#include <libxml/HTMLparser.h>
#include <libxml/xmlerror.h>

#include <functional>

#include "report/engine/page_text.h"
#include "report/engine/templates.h"
#include "report/report_test_support.h"

namespace {

using Frames = std::vector<std::pair<std::string, std::string>>;

// A parsed page with the parser's complaints. Unknown tags are not
// complaints: the parser predates the HTML5 elements (main, header, ...).
struct TParsedPage {
  htmlDocPtr doc = nullptr;
  std::vector<std::string> errors;
  ~TParsedPage() {
    if (doc != nullptr) xmlFreeDoc(doc);
  }
};

void CollectError(void* context, xmlErrorPtr error) {
  if (error == nullptr || error->code == XML_HTML_UNKNOWN_TAG) return;
  auto* errors = static_cast<std::vector<std::string>*>(context);
  errors->push_back("line " + std::to_string(error->line) + ": " + (error->message ? error->message : "?"));
}

void Parse(const std::string& page, const std::string& charset, TParsedPage& parsed) {
  htmlParserCtxtPtr context = htmlNewParserCtxt();
  ASSERT_NE(context, nullptr);
  xmlSetStructuredErrorFunc(&parsed.errors, CollectError);
  parsed.doc = htmlCtxtReadMemory(context, page.data(), static_cast<int>(page.size()), "report.htm",
                                  charset.empty() ? "UTF-8" : charset.c_str(), HTML_PARSE_NONET);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  htmlFreeParserCtxt(context);
  ASSERT_NE(parsed.doc, nullptr);
}

void Walk(xmlNodePtr node, const std::function<void(xmlNodePtr)>& visit) {
  for (; node != nullptr; node = node->next) {
    visit(node);
    Walk(node->children, visit);
  }
}

std::string Name(xmlNodePtr node) { return node->name != nullptr ? reinterpret_cast<const char*>(node->name) : ""; }

std::string Text(xmlNodePtr node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

TEST(ShippedTemplates, RenderToWellFormedPagesUnderEveryCharset) {
  const std::string templates = std::string(VELLORAN_BIN_DIR) + "/Templates";
  std::vector<std::string> names = ListTemplateFiles(templates);
  ASSERT_GE(names.size(), 3u);

  test::TempDir dir;
  std::vector<std::string> files = {
      test::TaggedTrack(dir, "hostile.mp3",
                        {{"TIT2", "</td></tr><script>alert(1)</script>"},
                         {"TPE1", "Simon & Partners \"Live\""},
                         {"TALB", "<b>Bold</b> & Brave"},
                         {"COMM", "line one\r\nline two & <i>three</i>"},
                         {"USLT", "la\r\nla <la>"},
                         {"WXXX", std::string(1, '\0') + "http://a.example/?x=1&y=\"2\""}}),
      test::TaggedTrack(dir, "cyrillic.mp3", {{"TIT2", "Привет, мир"}, {"TPE1", "Ærø 東京"}}),
      test::Fixture("mpeg/eyed3_v24_utf8.mp3"),
      test::Fixture("foundation/v1only.mp3"),
      test::Fixture("ogg/tagged_stereo.ogg"),
      test::Fixture("wma/tagged.wma"),
      test::Fixture("apeflac/tagged.ape"),
  };

  std::vector<std::string> seen_placeholders;
  for (const std::string& name : names) {
    std::string source = test::ReadAll(templates + "/" + name);
    for (const char* placeholder :
         {"<!-- {charset} -->", "{page_title}", "{artist}", "{album}", "{year}", "{genre}", "{track}", "{title}",
          "{time}", "{size}", "{bitrate}", "{sample_rate}", "{file_name}", "{total}", "{link}", "{total_size}",
          "{total_time}", "{counter}", "{image}", "{image_name}", "{comment}", "{lyrics}"})
      if (source.find(placeholder) != std::string::npos) seen_placeholders.push_back(placeholder);

    for (const std::string charset : {"iso-8859-1", "utf-8", "windows-1251"}) {
      SCOPED_TRACE(name + " in " + charset);
      TReportEngine engine;
      test::PointEngineAt(engine, dir);
      engine.FTemplatesFolder = templates + "/";
      engine.FTemplateName = name;
      engine.FAudioFile.FileList = files;
      engine.FTitle = "Songs &amp; Sketches";  // typed by the user, inserted as typed
      engine.FCharsetLine = CharsetMetaLine(charset);
      ASSERT_EQ(engine.BuildReport(TReportMode::Preview), TReportResult::Done);

      TParsedPage parsed;
      Parse(test::ReadAll(engine.FWrittenPath), charset, parsed);
      EXPECT_EQ(parsed.errors, std::vector<std::string>{});

      int scripts = 0, bodies = 0, footers = 0, rows = 0;
      std::string title, all_text;
      Walk(xmlDocGetRootElement(parsed.doc), [&](xmlNodePtr node) {
        if (node->type == XML_TEXT_NODE) all_text += reinterpret_cast<const char*>(node->content);
        if (node->type != XML_ELEMENT_NODE) return;
        std::string tag = Name(node);
        scripts += tag == "script";
        bodies += tag == "body";
        if (tag == "title") title = Text(node);
        if (tag == "p" && Text(node).starts_with("Generated by ")) ++footers;
        // One table row in tbody, or one section, per file.
        if ((tag == "tr" && node->parent != nullptr && Name(node->parent) == "tbody") || tag == "section") ++rows;
      });
      EXPECT_EQ(scripts, 0);
      EXPECT_EQ(bodies, 1);
      EXPECT_EQ(footers, 1);
      EXPECT_EQ(rows, static_cast<int>(files.size()));
      EXPECT_EQ(title, "Songs & Sketches");
      // Tag text arrives as written, whatever charset the page is in.
      for (const char* text : {"</td></tr><script>alert(1)</script>", "Simon & Partners \"Live\"", "Привет, мир",
                               "Ærø 東京", "Tïtle ♪"})
        EXPECT_NE(all_text.find(text), std::string::npos) << text;
    }
  }
  // Together the templates use every placeholder.
  std::sort(seen_placeholders.begin(), seen_placeholders.end());
  seen_placeholders.erase(std::unique(seen_placeholders.begin(), seen_placeholders.end()), seen_placeholders.end());
  EXPECT_EQ(seen_placeholders.size(), 22u);
}

}  // namespace
