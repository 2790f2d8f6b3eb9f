#pragma once

// TViewerPanel: the panel under the tracklist that shows the focused row:
// five lines of its values, its lyrics and its picture, read from the file
// when the focus moves there. It is also where files dropped from a file
// manager are taken in.

#include <QStringList>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class TAudioFile;
struct TMyNodeData;

class TViewerPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TViewerPanel(QWidget* parent = nullptr);

  // Placeholders in the lines, no lyrics, no picture.
  void ClearViewer();
  // Shows a row: its picture and lyrics loaded from its file now, the five
  // lines from the row's own values (so a vanished file still shows them).
  void UpdateViewer(const TMyNodeData& row, TAudioFile& audio);

  QString LineText(int line) const;  // 1 to 5
  QString LyricsText() const;
  bool HasPicture() const;

 signals:
  void FilesDropped(const QStringList& paths);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ShowPicture(const QString& path);

  QLabel* FLines[5] = {};
  QPlainTextEdit* FLyrics = nullptr;
  QLabel* FImage = nullptr;
};
