#include "app/viewer_panel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>
#include <exception>

#include "app/icon_provider.h"
#include "app/node_data.h"
#include "toolkit/program_info.h"
#include "toolkit/str_tools.h"

namespace {

const QString kEmptyTop = QStringLiteral("- - - -");
const QString kEmptyBottom = QStringLiteral("... ...");

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLabel* MakeLine(const QString& name, int pointDelta, bool bold) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);  // tag texts are never markup
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont font = label->font();
  font.setPointSize(font.pointSize() + pointDelta);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

QString FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? QString() : Q(path.substr(0, slash + 1));
}

}  // namespace

TViewerPanel::TViewerPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PanelViewer"));
  setAcceptDrops(true);

  auto* info = new QWidget;
  auto* infoLayout = new QHBoxLayout(info);
  infoLayout->setContentsMargins(6, 6, 6, 6);
  auto* mark = new QLabel;
  mark->setPixmap(TIconProvider::Icon(QStringLiteral("velloran")).pixmap(32, 32));
  mark->setAlignment(Qt::AlignTop);
  infoLayout->addWidget(mark, 0, Qt::AlignTop);

  auto* lines = new QVBoxLayout;
  lines->setSpacing(1);
  FLines[0] = MakeLine(QStringLiteral("lbv_Tag_01"), 2, true);
  FLines[1] = MakeLine(QStringLiteral("lbv_Tag_02"), 1, false);
  FLines[2] = MakeLine(QStringLiteral("lbv_Tag_03"), 0, false);
  FLines[3] = MakeLine(QStringLiteral("lbv_Tag_04"), 0, true);
  FLines[4] = MakeLine(QStringLiteral("lbv_Tag_05"), 0, false);
  for (int i = 0; i < 5; ++i) {
    if (i == 3) {
      // The file name line carries a small file icon.
      auto* row = new QHBoxLayout;
      auto* icon = new QLabel;
      icon->setPixmap(TIconProvider::Icon(QStringLiteral("file")).pixmap(16, 16));
      row->addWidget(icon);
      row->addWidget(FLines[i], 1);
      lines->addLayout(row);
    } else {
      lines->addWidget(FLines[i]);
    }
  }
  lines->addStretch(1);
  infoLayout->addLayout(lines, 1);

  auto* lyricsBox = new QGroupBox(QStringLiteral("Track Lyrics"));
  auto* lyricsLayout = new QVBoxLayout(lyricsBox);
  lyricsLayout->setContentsMargins(4, 2, 4, 4);
  FLyrics = new QPlainTextEdit;
  FLyrics->setObjectName(QStringLiteral("edvLyrics"));
  FLyrics->setReadOnly(true);
  FLyrics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  lyricsLayout->addWidget(FLyrics);

  auto* imageBox = new QGroupBox(QStringLiteral("Image"));
  auto* imageLayout = new QVBoxLayout(imageBox);
  imageLayout->setContentsMargins(4, 2, 4, 4);
  FImage = new QLabel;
  FImage->setObjectName(QStringLiteral("edvIMG"));
  FImage->setFrameShape(QFrame::Panel);
  FImage->setFrameShadow(QFrame::Sunken);
  FImage->setScaledContents(true);  // the picture is stretched to the area
  FImage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  imageLayout->addWidget(FImage);

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(info);
  splitter->addWidget(lyricsBox);
  splitter->addWidget(imageBox);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setStretchFactor(2, 1);
  splitter->setSizes({380, 190, 100});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  setMinimumHeight(107);

  ClearViewer();
}

void TViewerPanel::ClearViewer() {
  FImage->clear();
  FLyrics->clear();
  FLines[0]->setText(kEmptyTop);
  FLines[1]->setText(kEmptyTop);
  for (int i = 2; i < 5; ++i) FLines[i]->setText(kEmptyBottom);
}

void TViewerPanel::ShowPicture(const QString& path) {
  QImageReader reader(path);
  QImage image = reader.read();
  if (!image.isNull()) FImage->setPixmap(QPixmap::fromImage(image));
}

void TViewerPanel::UpdateViewer(const TMyNodeData& row, TAudioFile& audio) {
  ClearViewer();
  if (row.HasPicture || row.HasLyrics) {
    // One load serves both the picture and the lyrics. An error is shown
    // and the lines are filled all the same.
    try {
      audio.FileName = row.FullPath;
      audio.LoadFile();
      if (row.HasPicture) {
        std::string picture = audio.ExtractPicture();
        if (!picture.empty()) ShowPicture(Q(picture));
      }
      if (row.HasLyrics) FLyrics->setPlainText(Q(audio.Tags.Lyrics));
    } catch (const std::exception& error) {
      NotifyUser(error.what());
    }
  }
  TStrTools tools;
  QString size = Q(tools.FormatThousands(row.FileSizeKB, "."));
  FLines[0]->setText(Q(row.Artist + " - " + row.Title));
  FLines[1]->setText(Q(row.Album + ", Track: " + row.TrackText + "   [Time: " + row.DurationText + "]"));
  FLines[2]->setText(Q(row.Year + "  " + row.Genre + " (") + QString::number(row.BitRate) +
                     QStringLiteral(" kb/s,  ") + size + QStringLiteral(" Kb)"));
  FLines[3]->setText(Q(row.FileName));
  FLines[4]->setText(FolderOf(row.FullPath));
}

QString TViewerPanel::LineText(int line) const { return line >= 1 && line <= 5 ? FLines[line - 1]->text() : QString(); }

QString TViewerPanel::LyricsText() const { return FLyrics->toPlainText(); }

bool TViewerPanel::HasPicture() const { return !FImage->pixmap().isNull(); }

void TViewerPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(rect().topLeft(), rect().topRight());
  gradient.setColorAt(0, Qt::white);
  gradient.setColorAt(1, QColor(0xFC, 0xEB, 0xB6));
  painter.fillRect(rect(), gradient);
}

void TViewerPanel::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TViewerPanel::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  emit FilesDropped(paths);
}
