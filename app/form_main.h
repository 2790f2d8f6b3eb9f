#pragma once

// TFormMain: the main window. It owns the one TAudioFile of the program,
// hosts the tracklist, the viewer panel and the status line, and wires the
// actions of the action table to them.

#include <QMainWindow>
#include <array>

#include "app/actions.h"
#include "audiofile/audio_file.h"

class QLabel;
class QAction;
class TTracklistModel;
class TTrackView;
class TViewerPanel;

class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormMain(QWidget* parent = nullptr);
  ~TFormMain() override;

  // Adds files, and every file under folders, in order. Runs of more than
  // a couple of hundred files show a progress dialog with Cancel.
  void AddPaths(const QStringList& paths);
  // AddPaths for files dropped on the viewer panel; the status line is left
  // to catch up at the next selection change.
  void AddDropped(const QStringList& paths);
  void RefreshAll();
  void DeleteSelected();
  void ClearList();
  void SetPreference(int version);
  void BuildReport();
  void UpdateStatus();

  TAudioFile AudioFile;
  TTracklistModel* Model() const { return FModel; }
  TTrackView* List() const { return FList; }
  TViewerPanel* Viewer() const { return FViewer; }
  QAction* Action(TActionId id) const { return FActions[static_cast<size_t>(id)]; }
  QString StatusLine() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateActions();
  void CreateMenusAndBars();
  void RunAction(TActionId id);
  void HelpAction(int tag);
  void AddFilesDialog();
  void AddFolderDialog();
  void FocusChanged(int row);
  // Loads the files with the list-changing actions disabled, showing
  // progress for long runs. Gives the number of rows added.
  void LoadFiles(const std::vector<std::string>& files);
  void SetBusy(bool busy);

  TTracklistModel* FModel = nullptr;
  TTrackView* FList = nullptr;
  TViewerPanel* FViewer = nullptr;
  QLabel* FStatus = nullptr;
  std::array<QAction*, kActionCount> FActions{};
  bool FBusy = false;
  QString FLastFolder;
};

