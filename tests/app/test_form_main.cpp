#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/form_about.h"
#include "app/form_main.h"
#include "app/track_view.h"
#include "app/tracklist_model.h"
#include "app/viewer_panel.h"
#include "app/vt_header.h"
#include "support/test_support.h"
#include "toolkit/program_info.h"


namespace {

namespace fs = std::filesystem;

std::string LayoutFile() { return LayoutFileName("LIST_Main"); }

// Each test starts without a layout file and with message boxes recorded.
struct WindowFixture : testing::Test {
  std::vector<std::string> messages;
  WindowFixture() {
    fs::remove(LayoutFile());
    SetMessageNotifier([this](const std::string& m) { messages.push_back(m); });
  }
  ~WindowFixture() override {
    SetMessageNotifier(nullptr);
    SetReportWizardOpener(nullptr);
  }
  static QStringList Paths(std::initializer_list<const char*> fixtures) {
    QStringList out;
    for (const char* f : fixtures) out << QString::fromStdString(test::Fixture(f));
    return out;
  }
  static void Select(TFormMain& window, std::initializer_list<int> rows) {
    auto* selection = window.List()->selectionModel();
    selection->clearSelection();
    for (int row : rows)
      selection->select(window.Model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  static void Drop(QWidget* target, const QStringList& paths, bool* enterAccepted = nullptr) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (enterAccepted != nullptr) *enterAccepted = enter.isAccepted();
    if (!enter.isAccepted()) return;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
  }
};

TEST_F(WindowFixture, StartsEmptyWithItsCaptionFoldersAndPreference) {
  TFormMain window;
  EXPECT_EQ(window.windowTitle(), "VLR Velloran 1.2");
  EXPECT_EQ(window.size(), QSize(678, 438));
  EXPECT_EQ(window.StatusLine(), "Total: 0 Selected: 0");
  EXPECT_EQ(window.AudioFile.PreferredTag, 2);
  EXPECT_TRUE(window.Action(act_ID3_v2)->isChecked());
  EXPECT_FALSE(window.Action(act_ID3_v1)->isChecked());
  EXPECT_EQ(window.Action(act_AddFiles)->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(window.Action(act_AddFiles)->statusTip(), "Add music files to tracklist");
  EXPECT_EQ(window.Action(act_AddFolder)->shortcut(), QKeySequence("Ctrl+Shift+O"));
  EXPECT_EQ(window.Action(act_Refresh)->shortcut(), QKeySequence("F5"));
  for (const char* folder : {"Templates", "setup", "temp"})
    EXPECT_TRUE(fs::is_directory(WritableFolder() + folder)) << folder;
  EXPECT_EQ(window.Viewer()->LineText(1), "- - - -");
  EXPECT_EQ(window.Viewer()->LineText(5), "... ...");
  // The list's context menu carries the File menu.
  EXPECT_TRUE(window.List()->actions().contains(window.Action(act_BuildReport)));
  // Built-in columns: the hidden ones and the positions that differ from the index.
  QHeaderView* header = window.List()->header();
  EXPECT_TRUE(header->isSectionHidden(colComment));
  EXPECT_FALSE(header->isSectionHidden(colImage));
  EXPECT_EQ(header->visualIndex(colFullPath), 12);
  EXPECT_EQ(header->visualIndex(colVersion), 14);
  EXPECT_EQ(header->sectionSize(colFileName), 160);
}

TEST_F(WindowFixture, AddingThroughTheDialogPathAndTheDropPath) {
  TFormMain window;
  window.AddPaths(Paths({"ogg/tagged_stereo.ogg", "ogg/tagged_stereo.ogg", "mpeg/cover.jpg", "foundation/nothere.mp3"}));
  EXPECT_EQ(window.Model()->rowCount(), 2);
  EXPECT_EQ(window.StatusLine(), "Total: 2 Selected: 0");
  EXPECT_TRUE(messages.empty());

  // Dropped on the list: refused. Dropped on the viewer panel: added, the
  // folder with everything under it; the status line waits for the next
  // selection change.
  bool accepted = true;
  Drop(window.List()->viewport(), Paths({"wma/tagged.wma"}), &accepted);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(window.Model()->rowCount(), 2);
  Drop(window.Viewer(), Paths({"wma/tagged.wma", "foundation"}), &accepted);
  EXPECT_TRUE(accepted);
  ASSERT_EQ(window.Model()->rowCount(), 6);
  EXPECT_EQ(window.Model()->Row(2).FileName, "tagged.wma");
  EXPECT_EQ(window.Model()->Row(3).FileName, "plain.mp3");
  EXPECT_EQ(window.Model()->Row(5).FileName, "v1v2.mp3");
  EXPECT_EQ(window.StatusLine(), "Total: 2 Selected: 0");
  window.Action(act_SelectAll)->trigger();
  EXPECT_EQ(window.StatusLine(), "Total: 6 Selected: 6");
  window.Action(act_Unselect_all)->trigger();
  EXPECT_EQ(window.StatusLine(), "Total: 6 Selected: 0");
}

TEST_F(WindowFixture, DeleteSelectedAndClear) {
  TFormMain window;
  window.AddPaths(Paths({"foundation/plain.mp3", "foundation/v1only.mp3", "foundation/v1v2.mp3"}));
  window.Action(act_DeleteFiles)->trigger();  // nothing selected: nothing goes
  EXPECT_EQ(window.Model()->rowCount(), 3);
  Select(window, {0, 2});
  window.Action(act_DeleteFiles)->trigger();
  ASSERT_EQ(window.Model()->rowCount(), 1);
  EXPECT_EQ(window.Model()->Row(0).FileName, "v1only.mp3");
  EXPECT_EQ(window.StatusLine(), "Total: 1 Selected: 0");
  window.Action(act_ClearList)->trigger();
  EXPECT_EQ(window.StatusLine(), "Total: 0 Selected: 0");
}

TEST_F(WindowFixture, PreferenceSwitchRefillsRowsAndClearsTheViewer) {
  TFormMain window;
  window.AddPaths(Paths({"foundation/v1only.mp3", "apeflac/id3.flac"}));
  window.List()->setCurrentIndex(window.Model()->index(1, 0));
  EXPECT_NE(window.Viewer()->LineText(4), "... ...");
  EXPECT_FALSE(window.Model()->Row(0).HasTag);
  window.Action(act_ID3_v1)->trigger();
  EXPECT_EQ(window.AudioFile.PreferredTag, 1);
  EXPECT_TRUE(window.Action(act_ID3_v1)->isChecked());
  EXPECT_FALSE(window.Action(act_ID3_v2)->isChecked());
  EXPECT_TRUE(window.Model()->Row(0).HasTag);
  EXPECT_EQ(window.Model()->Row(0).FileType, atMP3v1);
  EXPECT_EQ(window.Viewer()->LineText(4), "... ...");
  window.Action(act_ID3_v2)->trigger();
  EXPECT_FALSE(window.Model()->Row(0).HasTag);
}

TEST_F(WindowFixture, ViewerShowsTheFocusedRow) {
  test::TempDir dir;
  std::string copy = dir.File("gone.wma");
  fs::copy_file(test::Fixture("wma/tagged.wma"), copy);
  TFormMain window;
  window.AddPaths(Paths({"wma/tagged.wma"}) << QString::fromStdString(copy));
  const TMyNodeData& row = window.Model()->Row(0);
  window.List()->setCurrentIndex(window.Model()->index(0, 0));
  TViewerPanel* viewer = window.Viewer();
  EXPECT_EQ(viewer->LineText(1), "Test Artist - Morning Tone");
  EXPECT_EQ(viewer->LineText(2), QString::fromStdString("Test Album, Track: 3/12   [Time: " + row.DurationText + "]"));
  EXPECT_EQ(viewer->LineText(3), QString::fromStdString(row.Year + "  " + row.Genre + " (" + std::to_string(row.BitRate) +
                                                        " kb/s,  " + std::to_string(row.FileSizeKB) + " Kb)"));
  EXPECT_EQ(viewer->LineText(4), "tagged.wma");
  EXPECT_EQ(viewer->LineText(5), QString::fromStdString(test::Fixture("wma/")));
  EXPECT_TRUE(viewer->HasPicture());
  EXPECT_FALSE(viewer->LyricsText().isEmpty());

  // The second row's file is gone: its cached lines show, picture and lyrics stay empty.
  fs::remove(copy);
  window.List()->setCurrentIndex(window.Model()->index(1, 0));
  EXPECT_EQ(viewer->LineText(1), "Test Artist - Morning Tone");
  EXPECT_EQ(viewer->LineText(4), "gone.wma");
  EXPECT_FALSE(viewer->HasPicture());
  EXPECT_TRUE(viewer->LyricsText().isEmpty());
}

TEST_F(WindowFixture, ASortKeepsTheSelectionOnItsRows) {
  TFormMain window;
  window.AddPaths(Paths({"foundation/v1v2.mp3", "wma/tagged.wma", "apeflac/tagged.ape", "apeflac/id3.flac"}));
  Select(window, {0, 1});  // Artist Two, Test Artist
  emit window.List()->header()->sectionClicked(colArtist);
  EXPECT_EQ(window.List()->header()->sortIndicatorSection(), colArtist);
  EXPECT_EQ(window.List()->header()->sortIndicatorOrder(), Qt::AscendingOrder);
  std::vector<std::string> artists;
  for (int row : window.List()->SelectedRows()) artists.push_back(window.Model()->Row(row).Artist);
  EXPECT_EQ(artists, (std::vector<std::string>{"Artist Two", "Test Artist"}));
  EXPECT_EQ(window.Model()->Row(0).Artist, "Ape Artist");
}

TEST_F(WindowFixture, BuildReportHandsTheSelectedRowsInDisplayOrder) {
  std::vector<std::vector<std::string>> opened;
  SetReportWizardOpener([&](TAudioFile& audio) { opened.push_back(audio.FileList); });
  TFormMain window;
  window.Action(act_BuildReport)->trigger();
  EXPECT_EQ(messages, (std::vector<std::string>{"No selected files!"}));
  EXPECT_TRUE(opened.empty());

  window.AddPaths(Paths({"foundation/v1v2.mp3", "wma/tagged.wma", "apeflac/tagged.ape", "apeflac/id3.flac"}));
  Select(window, {0, 1, 3});
  window.Model()->HeaderClick(colArtist);  // Ape, Artist Two, FLAC, Test
  window.Action(act_BuildReport)->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (std::vector<std::string>{test::Fixture("foundation/v1v2.mp3"),
                                                 test::Fixture("apeflac/id3.flac"), test::Fixture("wma/tagged.wma")}));
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(WindowFixture, ColumnMenuTogglesColumns) {
  TFormMain window;
  QMenu menu;
  window.List()->BuildColumnMenu(menu);
  QList<QAction*> entries = menu.actions();
  ASSERT_EQ(entries.size(), kColumnCount);
  EXPECT_EQ(entries[colComment]->text(), "Comment");
  EXPECT_FALSE(entries[colComment]->isChecked());
  EXPECT_TRUE(entries[colTitle]->isChecked());
  entries[colComment]->trigger();
  entries[colTitle]->trigger();
  EXPECT_FALSE(window.List()->isColumnHidden(colComment));
  EXPECT_TRUE(window.List()->isColumnHidden(colTitle));
  window.List()->BuildColumnMenu(menu);  // rebuilt, not appended to
  EXPECT_EQ(menu.actions().size(), kColumnCount);
  EXPECT_TRUE(menu.actions()[colComment]->isChecked());
}

TEST_F(WindowFixture, ColumnLayoutSurvivesARestart) {
  {
    TFormMain window;
    window.List()->ToggleColumn(colComment);  // shown, then hidden again below
    window.List()->setColumnWidth(colComment, 77);
    window.List()->ToggleColumn(colComment);
    window.List()->ToggleColumn(colArtist);
    window.List()->setColumnWidth(colTitle, 200);
    window.List()->header()->moveSection(window.List()->header()->visualIndex(colYear), 0);
  }
  ASSERT_TRUE(fs::exists(LayoutFile()));
  {
    TFormMain window;
    TTrackView* list = window.List();
    EXPECT_TRUE(list->isColumnHidden(colComment));
    EXPECT_EQ(list->ColumnWidth(colComment), 77);
    EXPECT_TRUE(list->isColumnHidden(colArtist));
    EXPECT_FALSE(list->isColumnHidden(colTitle));
    EXPECT_EQ(list->columnWidth(colTitle), 200);
    EXPECT_EQ(list->header()->visualIndex(colYear), 0);
    EXPECT_EQ(list->header()->visualIndex(colFileName), 1);
  }
  // A header text edited in the file renames the column and its menu entry;
  // widths outside 10 to 10 000 are held to those limits.
  std::string text = test::ReadAll(LayoutFile());
  text.replace(text.find("\r\nTitle\r\n"), 9, "\r\nName of song\r\n");
  text.replace(text.find("\r\n200\r\n"), 7, "\r\n99999\r\n");
  test::WriteAll(LayoutFile(), text);
  TFormMain window;
  EXPECT_EQ(window.Model()->headerData(colTitle, Qt::Horizontal).toString(), "Name of song");
  EXPECT_EQ(window.List()->columnWidth(colTitle), 10000);
  QMenu menu;
  window.List()->BuildColumnMenu(menu);
  EXPECT_EQ(menu.actions()[colTitle]->text(), "Name of song");
}

TEST(AboutBox, FilledFromItsFourTexts) {
  TFormAbout about;
  about.Fill("Velloran", "2026-12-11", "https://velloran.example.org/", "1.2");
  EXPECT_EQ(about.windowTitle(), "About: Velloran");
  EXPECT_EQ(about.LabelName->text(), "Velloran");
  EXPECT_EQ(about.LabelBuild->text(), "Build: 1.2 Date: 2026-12-11");
  EXPECT_EQ(about.label_homepage->text(), "https://velloran.example.org/");
  EXPECT_EQ(about.size(), QSize(532, 363));
}

}  // namespace
