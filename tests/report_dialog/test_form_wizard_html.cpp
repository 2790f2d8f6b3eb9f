// The report wizard, driven as a user drives it: its defaults on opening,
// the charset list, the template list, preview into the embedded view,
// export, the charset line kept between openings, and closing.

#include "report/dialog/form_wizard_html.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <filesystem>
#include <gtest/gtest.h>

#include "report/dialog/pie_gauge.h"
#include "report/dialog/report_wizard.h"
#include "report/report_test_support.h"
#include "report_dialog/qt_environment.h"
#include "toolkit/program_info.h"

namespace {

namespace fs = std::filesystem;
using Frames = std::vector<std::pair<std::string, std::string>>;

const char kCoverTemplate[] =
    "<html><head>\n"
    "<!-- {charset} -->\n"
    "<title>{page_title}</title></head><body>\n"
    "{image}\n"
    "<!-- {repeat_begin} -->\n"
    "<p>{counter}. {title}</p>\n"
    "<!-- {repeat_end} -->\n"
    "</body>\n"
    "</html>\n";

const char kPlainTemplate[] = "<html><body>\n<p>{total} tracks</p>\n</body></html>\n";

std::string IsoMetaLine() { return CharsetMetaLine("iso-8859-1"); }

// An ID3v2 picture frame's body after its encoding byte.
std::string PictureFrame(const std::string& image) {
  return std::string("image/png") + '\0' + '\x03' + '\0' + image;
}

// Takes the URLs the program hands to the system's browser.
class TUrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> Opened;

 public slots:
  void Open(const QUrl& url) { Opened << url; }
};

template <class TWidget>
TWidget* Control(QWidget& dialog, const char* name) {
  auto* widget = dialog.findChild<TWidget*>(QLatin1String(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

class FormWizardHtml : public testing::Test {
 protected:
  void SetUp() override {
    test::UserMessages().clear();
    SetProgramPath(program_.File("velloran"));
    fs::create_directories(program_.Path() / "Templates");
    fs::create_directories(program_.Path() / "temp");
    cover_ = test::ReadAll(test::Fixture("mpeg/cover.png"));
  }
  void TearDown() override { SetProgramPath(""); }

  std::string Track(const std::string& name, const Frames& frames) { return test::TaggedTrack(music_, name, frames); }
  void AddTemplate(const std::string& name, const std::string& text) {
    test::WriteAll(program_.File("Templates/" + name), text);
  }
  // Two tagged tracks of one album, the first with a cover.
  std::vector<std::string> Album() {
    return {Track("01.mp3", {{"TIT2", "First"}, {"TALB", "Harbour"}, {"TDRC", "2003"}, {"APIC", PictureFrame(cover_)}}),
            Track("02.mp3", {{"TIT2", "Second"}, {"TALB", "Harbour"}, {"TDRC", "2003"}})};
  }
  // A dialog prepared for files, as the opener prepares it.
  std::unique_ptr<TFormWizardHTML> Prepared(const std::vector<std::string>& files) {
    auto dialog = std::make_unique<TFormWizardHTML>();
    dialog->Engine().FAudioFile.FileList = files;
    dialog->PrepareWizard();
    return dialog;
  }
  std::string TempFile(const std::string& name) const { return program_.File("temp/" + name); }
  // Shows the dialog, presses Preview and waits for the view to finish
  // loading; gives whether it loaded.
  static bool ShowPreview(TFormWizardHTML& dialog) {
    auto* view = Control<QWebEngineView>(dialog, "WebBrowser");
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    dialog.show();
    Control<QPushButton>(dialog, "btnPreview")->click();
    if (loaded.count() == 0 && !loaded.wait(30000)) return false;
    return loaded.takeFirst().at(0).toBool();
  }

  test::TempDir program_;
  test::TempDir music_;
  std::string cover_;
};

TEST_F(FormWizardHtml, OpensWithCaptionSizeControlsAndAnEmptyView) {
  AddTemplate("fields.htm", kPlainTemplate);
  auto dialog = Prepared(Album());
  EXPECT_EQ(dialog->windowTitle(), "Wizard: Export to HTML");
  EXPECT_EQ(dialog->size(), QSize(671, 559));
  EXPECT_EQ(dialog->minimumSize(), QSize(600, 400));
  EXPECT_TRUE(dialog->isModal());

  for (const char* name : {"HTitle", "HCharset", "HFileName"}) Control<QLineEdit>(*dialog, name);
  for (const char* name : {"HDefault", "ComboTemplates"}) Control<QComboBox>(*dialog, name);
  for (const char* name : {"BtnRefresh", "btnPreview", "btChengeName", "ExportNow", "BT_WizardCSV_Cancel"})
    Control<QPushButton>(*dialog, name);
  Control<QFileDialog>(*dialog, "SaveDialog");
  EXPECT_EQ(Control<QPushButton>(*dialog, "BT_WizardCSV_Cancel")->text(), "Close");

  // Nothing is generated before the user asks: the view and the temp
  // folder stay empty and the gauge hidden.
  EXPECT_TRUE(Control<QWebEngineView>(*dialog, "WebBrowser")->url().isEmpty());
  EXPECT_FALSE(fs::exists(TempFile("album_preview.htm")));
  auto* gauge = Control<TPieGauge>(*dialog, "ProgressHTML");
  EXPECT_FALSE(gauge->isVisibleTo(dialog.get()));
  EXPECT_EQ(gauge->Progress(), 0);
}

// The title, file name and picture name come from the first file's year and
// album; a "/" there would move the report into another folder, so the file
// name gets "-" instead, while the picture name loses the characters a file
// name should not hold.
TEST_F(FormWizardHtml, FirstOpeningProposesNamesFromTheFirstFile) {
  struct Case {
    const char* label;
    Frames frames;
    const char* title;
    const char* file_name;
    const char* image_name;
  };
  const std::vector<Case> cases = {
      {"year and album", {{"TDRC", "2003"}, {"TALB", "Harbour Songs"}}, "2003 Harbour Songs", "2003 Harbour Songs.htm",
       "2003 Harbour Songs.jpg"},
      {"no tag", {}, "Untitled", "Untitled.htm", "Untitled.jpg"},
      {"tag without year and album", {{"TIT2", "Only a title"}}, "", ".htm", ".jpg"},
      {"separators and odd characters", {{"TDRC", "1999/2000"}, {"TALB", "Live: Who? / Why"}},
       "1999/2000 Live: Who? / Why", "1999-2000 Live: Who? - Why.htm", "19992000 Live Who  Why.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::string first = c.frames.empty() ? music_.Write("plain.mp3", test::ReadAll(test::Fixture("foundation/plain.mp3")))
                                         : Track("first.mp3", c.frames);
    auto dialog = Prepared({first, Track("second.mp3", {{"TALB", "Other"}, {"TDRC", "1980"}})});
    EXPECT_EQ(Control<QLineEdit>(*dialog, "HTitle")->text().toStdString(), c.title);
    EXPECT_EQ(Control<QLineEdit>(*dialog, "HFileName")->text().toStdString(), (music_.Path() / c.file_name).string());
    EXPECT_EQ(dialog->Engine().FImageName, c.image_name);
    // A first opening shows the first charset's meta line.
    EXPECT_EQ(dialog->CharsetLine().toStdString(), IsoMetaLine());
    EXPECT_EQ(Control<QComboBox>(*dialog, "HDefault")->currentIndex(), 0);
  }
}

TEST_F(FormWizardHtml, CharsetListWritesTheMetaLineOnlyWhenTheUserPicks) {
  auto dialog = Prepared(Album());
  auto* list = Control<QComboBox>(*dialog, "HDefault");
  ASSERT_EQ(list->count(), 19);
  EXPECT_EQ(list->itemText(0), "Western (Latin 1) ");
  EXPECT_EQ(list->itemText(17), "Unicode (UTF-8) ");
  EXPECT_EQ(list->itemText(18), "Other");

  struct Pick {
    int entry;
    const char* charset;
  };
  for (const Pick& pick : {Pick{1, "Shift_JIS"}, Pick{9, "KOI8-R"}, Pick{17, "utf-8"}, Pick{18, ""}}) {
    emit list->activated(pick.entry);
    EXPECT_EQ(dialog->CharsetLine().toStdString(), CharsetMetaLine(pick.charset)) << pick.entry;
  }

  // A selection set by the program changes nothing.
  dialog->SetCharsetLine("typed by hand");
  list->setCurrentIndex(11);
  EXPECT_EQ(dialog->CharsetLine(), "typed by hand");

  // Typed text picks the entry it names, by label or charset name; text
  // that names none leaves the line alone.
  list->setFocus();
  QLineEdit* typing = list->lineEdit();
  typing->clear();
  QTest::keyClicks(typing, "cyrillic (koi8-r)");
  emit typing->editingFinished();
  EXPECT_EQ(dialog->CharsetLine().toStdString(), CharsetMetaLine("KOI8-R"));
  EXPECT_EQ(list->currentIndex(), 9);
  typing->clear();
  QTest::keyClicks(typing, "UTF-8");
  emit typing->editingFinished();
  EXPECT_EQ(dialog->CharsetLine().toStdString(), CharsetMetaLine("utf-8"));
  dialog->SetCharsetLine("kept");
  typing->clear();
  QTest::keyClicks(typing, "Klingon");
  emit typing->editingFinished();
  EXPECT_EQ(dialog->CharsetLine(), "kept");
  // Leaving the field without typing rewrites nothing either.
  emit typing->editingFinished();
  EXPECT_EQ(dialog->CharsetLine(), "kept");
}

TEST_F(FormWizardHtml, TemplatesAreListedInLowerCaseAndOpenedWhateverTheirCase) {
  AddTemplate("Album.HTM", kCoverTemplate);
  AddTemplate("plain.htm", kPlainTemplate);
  AddTemplate("notes.txt", "not a template");
  fs::create_directories(program_.Path() / "Templates" / "folder.htm");
  auto dialog = Prepared(Album());
  auto* templates = Control<QComboBox>(*dialog, "ComboTemplates");
  ASSERT_EQ(templates->count(), 2);
  EXPECT_EQ(templates->itemText(0), "album.htm");
  EXPECT_EQ(templates->itemText(1), "plain.htm");
  EXPECT_EQ(templates->currentIndex(), 0);

  Control<QPushButton>(*dialog, "btnPreview")->click();
  EXPECT_TRUE(test::UserMessages().empty());
  std::string page = test::ReadAll(TempFile("album_preview.htm"));
  EXPECT_NE(page.find("<p>2. Second</p>"), std::string::npos);

  // Picking another template (as the list does it: select, then tell) is a
  // preview of it.
  templates->setCurrentIndex(1);
  emit templates->activated(1);
  EXPECT_NE(test::ReadAll(TempFile("album_preview.htm")).find("<p>2 tracks</p>"), std::string::npos);
}

TEST_F(FormWizardHtml, MissingTemplatesDisablePreviewUntilTheListIsRefreshed) {
  fs::remove_all(program_.Path() / "Templates");
  auto dialog = Prepared(Album());
  auto* preview = Control<QPushButton>(*dialog, "btnPreview");
  auto* refresh = Control<QPushButton>(*dialog, "BtnRefresh");
  EXPECT_EQ(Control<QComboBox>(*dialog, "ComboTemplates")->count(), 0);

  preview->click();
  ASSERT_EQ(test::UserMessages().size(), 1u);
  EXPECT_EQ(test::UserMessages()[0], std::string("HTML Templates not found! You may download Templates from our web site: ") +
                                         dialog->Engine().FHomePage);
  EXPECT_FALSE(preview->isEnabled());
  EXPECT_FALSE(fs::exists(TempFile("album_preview.htm")));

  // Refreshing a still empty folder keeps Preview off.
  refresh->click();
  EXPECT_FALSE(preview->isEnabled());

  fs::create_directories(program_.Path() / "Templates");
  AddTemplate("plain.htm", kPlainTemplate);
  refresh->click();
  EXPECT_EQ(Control<QComboBox>(*dialog, "ComboTemplates")->currentText(), "plain.htm");
  ASSERT_TRUE(preview->isEnabled());
  preview->click();
  EXPECT_EQ(test::UserMessages().size(), 1u);
  EXPECT_TRUE(fs::exists(TempFile("album_preview.htm")));
}

TEST_F(FormWizardHtml, PreviewWritesPageAndPictureIntoTempAndTheViewLoadsIt) {
  AddTemplate("album.htm", kCoverTemplate);
  auto dialog = Prepared(Album());
  auto* view = Control<QWebEngineView>(*dialog, "WebBrowser");
  ASSERT_TRUE(ShowPreview(*dialog)) << "the preview did not load";

  const std::string page = test::ReadAll(TempFile("album_preview.htm"));
  EXPECT_NE(page.find("<title>2003 Harbour</title>"), std::string::npos);
  EXPECT_NE(page.find("<img src=\"2003 Harbour.jpg\">"), std::string::npos);
  EXPECT_NE(page.find("<p>1. First</p>\r\n<p>2. Second</p>"), std::string::npos);
  EXPECT_EQ(test::ReadAll(TempFile("2003 Harbour.jpg")), cover_);
  EXPECT_FALSE(Control<TPieGauge>(*dialog, "ProgressHTML")->isVisible());

  const QUrl expected = QUrl::fromLocalFile(QString::fromStdString(TempFile("album_preview.htm")));
  EXPECT_EQ(view->url(), expected);
  // The page the view shows is the preview file, title included.
  EXPECT_TRUE(QTest::qWaitFor([&] { return view->title() == "2003 Harbour"; }, 5000)) << view->title().toStdString();
}

// A link in the preview goes to the system's browser; the view stays on
// the preview.
TEST_F(FormWizardHtml, LinksInThePreviewOpenOutsideTheDialog) {
  AddTemplate("link.htm", "<html><body>\n<a id=\"home\" href=\"https://example.org/home\">home</a>\n</body></html>\n");
  auto dialog = Prepared(Album());
  auto* view = Control<QWebEngineView>(*dialog, "WebBrowser");
  ASSERT_TRUE(ShowPreview(*dialog));

  TUrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");
  view->page()->runJavaScript("document.getElementById('home').click();");
  EXPECT_TRUE(QTest::qWaitFor([&] { return !catcher.Opened.isEmpty(); }, 10000));
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_EQ(catcher.Opened.value(0), QUrl("https://example.org/home"));
  EXPECT_EQ(view->url(), QUrl::fromLocalFile(QString::fromStdString(TempFile("album_preview.htm"))));
}

TEST_F(FormWizardHtml, ExportWritesTheReportAsHtmWithThePictureBesideIt) {
  AddTemplate("album.htm", kCoverTemplate);
  auto dialog = Prepared(Album());
  const fs::path target = music_.Path() / "out" / "sub" / "My Report.html";
  Control<QLineEdit>(*dialog, "HFileName")->setText(QString::fromStdString(target.string()));
  Control<QLineEdit>(*dialog, "HTitle")->setText("Typed title");
  Control<QPushButton>(*dialog, "ExportNow")->click();

  EXPECT_TRUE(test::UserMessages().empty());
  const fs::path written = music_.Path() / "out" / "sub" / "My Report.htm";
  EXPECT_FALSE(fs::exists(target));
  const std::string page = test::ReadAll(written.string());
  EXPECT_NE(page.find("<title>Typed title</title>"), std::string::npos);
  EXPECT_NE(page.find(IsoMetaLine()), std::string::npos);
  EXPECT_EQ(test::ReadAll((written.parent_path() / "2003 Harbour.jpg").string()), cover_);
  // The dialog stays open for another export.
  EXPECT_TRUE(Control<QPushButton>(*dialog, "ExportNow")->isEnabled());
}

TEST_F(FormWizardHtml, ChangeTakesTheFileNameFromTheSaveDialogOnlyWhenConfirmed) {
  auto dialog = Prepared(Album());
  auto* name = Control<QLineEdit>(*dialog, "HFileName");
  auto* change = Control<QPushButton>(*dialog, "btChengeName");
  auto* save = Control<QFileDialog>(*dialog, "SaveDialog");
  const QString proposed = name->text();

  QString offered;
  QTimer::singleShot(0, save, [&] {
    offered = save->selectedFiles().value(0);
    save->reject();
  });
  change->click();
  EXPECT_EQ(offered, proposed);
  EXPECT_EQ(name->text(), proposed);

  const QString chosen = QString::fromStdString(music_.File("elsewhere.htm"));
  QTimer::singleShot(0, save, [&] {
    // Typed into the dialog's name field, as a user does.
    if (auto* typed = save->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) typed->setText(chosen);
    static_cast<QDialog*>(save)->accept();  // QFileDialog hides the public slot
  });
  change->click();
  EXPECT_EQ(name->text(), chosen);
}

TEST_F(FormWizardHtml, EscClosesTheDialogFromItsControls) {
  AddTemplate("album.htm", kCoverTemplate);
  auto dialog = Prepared(Album());
  auto* view = Control<QWebEngineView>(*dialog, "WebBrowser");
  // A shown page, so that the preview has the widget that takes its keys.
  ASSERT_TRUE(ShowPreview(*dialog));
  ASSERT_NE(view->focusProxy(), nullptr);
  std::vector<std::pair<const char*, QWidget*>> targets = {
      {"title field", Control<QLineEdit>(*dialog, "HTitle")},
      {"charset list", Control<QComboBox>(*dialog, "HDefault")->lineEdit()},
      {"template list", Control<QComboBox>(*dialog, "ComboTemplates")},
      {"preview", view->focusProxy()},
  };
  for (const auto& [label, target] : targets) {
    SCOPED_TRACE(label);
    dialog->setResult(QDialog::Accepted);
    dialog->show();
    ASSERT_TRUE(dialog->isVisible());
    QTest::keyClick(target, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
  }
}

// While a report is built the engine lets events run. The controls that
// start another generation are off meanwhile, and closing the dialog stops
// the run and closes only once the engine has returned.
TEST_F(FormWizardHtml, ClosingDuringAGenerationStopsItFirst) {
  AddTemplate("album.htm", kCoverTemplate);
  auto dialog = Prepared(Album());
  auto* preview = Control<QPushButton>(*dialog, "btnPreview");
  const std::vector<QWidget*> controls = {preview, Control<QPushButton>(*dialog, "ExportNow"),
                                          Control<QPushButton>(*dialog, "BtnRefresh"),
                                          Control<QComboBox>(*dialog, "ComboTemplates")};
  auto* gauge = Control<TPieGauge>(*dialog, "ProgressHTML");
  dialog->show();

  TReportEngine& engine = dialog->Engine();
  auto let_events_run = engine.OnProcessEvents;
  int calls = 0;
  engine.OnProcessEvents = [&] {
    let_events_run();
    if (++calls != 1) return;
    for (QWidget* control : controls) EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(engine.IsBusy());
    EXPECT_TRUE(gauge->isVisible());
    dialog->reject();
    // Still open: the engine is below this call.
    EXPECT_TRUE(dialog->isVisible());
  };
  preview->click();

  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(engine.IsBusy());
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_FALSE(fs::exists(TempFile("album_preview.htm")));
  EXPECT_FALSE(gauge->isVisible());
  for (QWidget* control : controls) EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
}

// The opener behind TAudioFile::ShowReportWizard: the charset line the user
// leaves in one report greets the next one of the same run.
TEST_F(FormWizardHtml, ShowReportWizardCarriesTheCharsetLineToTheNextOpening) {
  AddTemplate("album.htm", kCoverTemplate);
  InstallReportWizard();
  TAudioFile owner;

  // Runs act on the dialog once it is up, then closes it with Close.
  struct Seen {
    QString charset;
    int charset_entry = -1;
    QStringList files;
  };
  auto open_and = [&](const std::function<void(TFormWizardHTML&)>& act) {
    Seen seen;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TFormWizardHTML*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen.charset = dialog->CharsetLine();
      seen.charset_entry = Control<QComboBox>(*dialog, "HDefault")->currentIndex();
      for (const std::string& file : dialog->Engine().FAudioFile.FileList) seen.files << QString::fromStdString(file);
      act(*dialog);
      Control<QPushButton>(*dialog, "BT_WizardCSV_Cancel")->click();
    });
    owner.ShowReportWizard();
    QCoreApplication::processEvents();
    return seen;
  };
  auto type_charset = [](const QString& line) {
    return [line](TFormWizardHTML& dialog) { Control<QLineEdit>(dialog, "HCharset")->setText(line); };
  };

  // No files: nothing opens.
  Seen none = open_and([](TFormWizardHTML&) {});
  EXPECT_EQ(none.charset_entry, -1);

  owner.FileList = Album();
  const QString cyrillic = QString::fromStdString(CharsetMetaLine("windows-1251"));
  Seen first = open_and(type_charset(cyrillic));
  EXPECT_EQ(first.charset.toStdString(), IsoMetaLine());
  EXPECT_EQ(first.files.size(), 2);
  EXPECT_EQ(owner.ReportCharset, cyrillic.toStdString());

  // The remembered line comes back, and the list still opens on entry 0.
  Seen second = open_and(type_charset("  <meta charset=\"utf-8\">  "));
  EXPECT_EQ(second.charset, cyrillic);
  EXPECT_EQ(second.charset_entry, 0);

  // Kept as typed, blanks included.
  Seen third = open_and(type_charset(" \t "));
  EXPECT_EQ(third.charset, "  <meta charset=\"utf-8\">  ");
  EXPECT_EQ(owner.ReportCharset, " \t ");

  // An all-blank line is replaced by the first charset's meta line.
  Seen fourth = open_and([](TFormWizardHTML&) {});
  EXPECT_EQ(fourth.charset.toStdString(), IsoMetaLine());
  SetReportWizardOpener(nullptr);
}

}  // namespace

#include "test_form_wizard_html.moc"
