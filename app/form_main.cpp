#include "app/form_main.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/form_about.h"
#include "app/icon_provider.h"
#include "app/track_view.h"
#include "app/tracklist_model.h"
#include "app/viewer_panel.h"
#include "app/vt_header.h"
#include "toolkit/product.h"
#include "toolkit/program_info.h"

#ifndef VELLORAN_BUILD_DATE
#define VELLORAN_BUILD_DATE ""
#endif

namespace {

const QString kCaption = QStringLiteral("VLR Velloran 1.2");
constexpr int kWidth = 678;
constexpr int kHeight = 438;
constexpr int kViewerHeight = 107;
// Runs over more files than this show a progress dialog.
constexpr int kProgressThreshold = 200;
// The progress dialog repaints (and lets the window paint) this often.
constexpr qint64 kProgressIntervalMs = 100;

// A progress callback with a dialog ("done of total", Cancel), or none for
// short runs. The dialog lets pending events run only every so often, so
// that a long add is not slowed by repainting after every file.
TProgressFn MakeProgress(QWidget* parent, const QString& label, int total) {
  if (total <= kProgressThreshold) return nullptr;
  auto dialog = std::make_shared<QProgressDialog>(label, QStringLiteral("Cancel"), 0, total, parent);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setMinimumDuration(0);
  dialog->setAutoClose(true);
  dialog->setValue(0);
  auto timer = std::make_shared<QElapsedTimer>();
  timer->start();
  return [dialog, timer, label](int done, int count) {
    if (done == count || timer->elapsed() >= kProgressIntervalMs) {
      dialog->setLabelText(QStringLiteral("%1 %2 of %3").arg(label).arg(done).arg(count));
      dialog->setValue(done);  // a modal dialog runs pending events here
      timer->restart();
    }
    return !dialog->wasCanceled();
  };
}

}  // namespace

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FormMain"));
  // Folders the report uses, beside the program (or in the user's data
  // folder for an installed copy).
  for (const char* folder : {"Templates", "setup", "temp"}) {
    std::error_code ec;
    std::filesystem::create_directories(WritableFolder() + folder, ec);
  }
  AudioFile.SetPreferredTag(2);  // ID3v2 at every start; the choice is not kept

  FModel = new TTracklistModel(AudioFile, this);
  FList = new TTrackView(FModel, this);
  FViewer = new TViewerPanel(this);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(FList);
  splitter->addWidget(FViewer);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  splitter->setCollapsible(0, false);
  splitter->setSizes({kHeight - kViewerHeight, kViewerHeight});
  setCentralWidget(splitter);

  FStatus = new QLabel(this);
  statusBar()->addWidget(FStatus, 1);

  CreateActions();
  CreateMenusAndBars();
  connect(FList, &TTrackView::FocusChanged, this, &TFormMain::FocusChanged);
  connect(FList, &TTrackView::SelectionChanged, this, &TFormMain::UpdateStatus);
  connect(FViewer, &TViewerPanel::FilesDropped, this, &TFormMain::AddDropped);

  FViewer->ClearViewer();
  setWindowTitle(kCaption);
  Action(act_ID3_v2)->setChecked(true);
  RefreshAll();
  LoadColumnLayout(LayoutFileName(FList->objectName().toStdString()), *FList);

  resize(kWidth, kHeight);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TFormMain::~TFormMain() { SaveColumnLayout(LayoutFileName(FList->objectName().toStdString()), *FList); }

void TFormMain::CreateActions() {
  auto* group = new QActionGroup(this);  // ID3v1 and ID3v2: one radio group
  for (const TActionSpec& spec : ActionTable()) {
    auto* action = new QAction(TIconProvider::Icon(QString::fromLatin1(spec.Icon)), QString::fromLatin1(spec.Caption), this);
    action->setObjectName(QString::fromLatin1(spec.Name));
    action->setShortcut(spec.Shortcut);
    action->setStatusTip(QString::fromLatin1(spec.Hint));
    action->setToolTip(*spec.Hint != '\0' ? QString::fromLatin1(spec.Hint) : action->text().remove(u'&'));
    action->setData(spec.Tag);
    if (spec.Id == act_ID3_v1 || spec.Id == act_ID3_v2) {
      action->setCheckable(true);
      group->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, id = spec.Id] { RunAction(id); });
    FActions[static_cast<size_t>(spec.Id)] = action;
  }
}

void TFormMain::CreateMenusAndBars() {
  auto fill = [this](auto* target, const std::vector<int>& entries) {
    for (int id : entries) {
      if (id == kSeparator)
        target->addSeparator();
      else
        target->addAction(Action(static_cast<TActionId>(id)));
    }
  };
  // The menu bar rides in a tool bar of its own, so that it and the button
  // bar share the top dock and either can be moved there (not floated).
  auto dockBar = [this](const QString& name, const QString& title) {
    auto* bar = addToolBar(title);
    bar->setObjectName(name);
    bar->setMovable(true);
    bar->setFloatable(false);
    bar->setAllowedAreas(Qt::TopToolBarArea);
    bar->setIconSize(QSize(16, 16));
    return bar;
  };
  auto* menus = new QMenuBar;
  QMenu* file = menus->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("TB_FILE"));
  fill(file, FileMenuEntries());
  QMenu* help = menus->addMenu(QStringLiteral("&Help"));
  fill(help, HelpMenuEntries());
  dockBar(QStringLiteral("TBToolbar1"), QStringLiteral("Menu"))->addWidget(menus);

  fill(dockBar(QStringLiteral("TBToolbar2"), QStringLiteral("Tracklist")), FileMenuEntries());

  // The list's context menu shows the File menu's entries.
  for (int id : FileMenuEntries()) {
    if (id == kSeparator) {
      auto* separator = new QAction(FList);
      separator->setSeparator(true);
      FList->addAction(separator);
    } else {
      FList->addAction(Action(static_cast<TActionId>(id)));
    }
  }
}

void TFormMain::RunAction(TActionId id) {
  switch (id) {
    case act_AddFiles: AddFilesDialog(); break;
    case act_AddFolder: AddFolderDialog(); break;
    case act_DeleteFiles: DeleteSelected(); break;
    case act_Refresh: RefreshAll(); break;
    case act_ClearList: ClearList(); break;
    case act_SelectAll: FList->selectAll(); break;
    case act_Unselect_all: FList->clearSelection(); break;
    case act_ID3_v1: SetPreference(1); break;
    case act_ID3_v2: SetPreference(2); break;
    case act_BuildReport: BuildReport(); break;
    case act_Exit: close(); break;
    default: HelpAction(Action(id)->data().toInt()); break;
  }
}

void TFormMain::HelpAction(int tag) {
  // A missing help file or no handler for the address: nothing to tell.
  switch (tag) {
    case 1:
      QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(ProgramFolder() + "vlr.htm")));
      break;
    case 2:
      QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));
      break;
    case 3: {
      QString subject = QStringLiteral("Suggestion for %1 %2 (build %3)")
                            .arg(QString::fromLatin1(kProgramTitle), QString::fromLatin1(kProductVersion),
                                 QStringLiteral(VELLORAN_BUILD_DATE));
      QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:%1?subject=%2")
                                         .arg(QString::fromLatin1(kSuggestionMail),
                                              QString::fromUtf8(QUrl::toPercentEncoding(subject)))));
      break;
    }
    case 9: {
      TFormAbout about(this);
      about.Fill(QString::fromLatin1(kProgramTitle), QStringLiteral(VELLORAN_BUILD_DATE),
                 QString::fromLatin1(kHomePage), QString::fromLatin1(kProductVersion));
      about.exec();
      break;
    }
    default:
      break;
  }
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (FList->isEnabled()) FList->setFocus();
}

void TFormMain::SetBusy(bool busy) {
  FBusy = busy;
  for (TActionId id : {act_AddFiles, act_AddFolder, act_DeleteFiles, act_Refresh, act_ClearList, act_ID3_v1,
                       act_ID3_v2, act_BuildReport})
    Action(id)->setEnabled(!busy);
}

void TFormMain::LoadFiles(const std::vector<std::string>& files) {
  if (FBusy) return;
  SetBusy(true);
  FModel->AddFiles(files, MakeProgress(this, QStringLiteral("Adding files:"), static_cast<int>(files.size())));
  SetBusy(false);
}

void TFormMain::AddPaths(const QStringList& paths) {
  LoadFiles(ExpandPaths(paths));
  UpdateStatus();
}

void TFormMain::AddDropped(const QStringList& paths) { LoadFiles(ExpandPaths(paths)); }

void TFormMain::AddFilesDialog() {
  QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("Add music files"), FLastFolder,
                                                    QStringLiteral("All music files (*.*)"));
  if (files.isEmpty()) return;
  FLastFolder = QFileInfo(files.first()).absolutePath();
  AddPaths(files);
}

void TFormMain::AddFolderDialog() {
  QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Add folder"), FLastFolder);
  if (folder.isEmpty()) return;
  FLastFolder = folder;
  AddPaths({folder});
}

void TFormMain::RefreshAll() {
  if (FBusy) return;
  SetBusy(true);
  // A load error ends the refresh at its row; the rows before it are
  // refilled, the rest keep their values, and the user hears of it.
  try {
    FModel->RefreshAll(MakeProgress(this, QStringLiteral("Refreshing:"), FModel->rowCount()));
  } catch (const std::exception& error) {
    NotifyUser(error.what());
  }
  SetBusy(false);
  FViewer->ClearViewer();
  UpdateStatus();
}

void TFormMain::DeleteSelected() {
  FModel->DeleteRows(FList->SelectedRows());
  UpdateStatus();
}

void TFormMain::ClearList() {
  FModel->ClearList();
  UpdateStatus();
}

void TFormMain::SetPreference(int version) {
  AudioFile.SetPreferredTag(version);
  Action(act_ID3_v1)->setChecked(AudioFile.PreferredTag == 1);
  Action(act_ID3_v2)->setChecked(AudioFile.PreferredTag == 2);
  RefreshAll();
}

void TFormMain::BuildReport() {
  std::vector<int> rows = FList->SelectedRows();
  if (rows.empty()) NotifyUser("No selected files!");
  AudioFile.FileList.clear();
  for (int row : rows) AudioFile.FileList.push_back(FModel->Row(row).FullPath);
  AudioFile.ShowReportWizard();
}

void TFormMain::FocusChanged(int row) {
  if (row >= 0 && row < FModel->rowCount())
    FViewer->UpdateViewer(FModel->Row(row), AudioFile);
  else
    FViewer->ClearViewer();
  UpdateStatus();
}

void TFormMain::UpdateStatus() { FStatus->setText(StatusText(FModel->rowCount(), FList->SelectedCount())); }

QString TFormMain::StatusLine() const { return FStatus->text(); }
