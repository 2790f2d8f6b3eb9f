#include "app/form_about.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <functional>

#include "app/icon_provider.h"

namespace {

// A label that reports clicks, for the picture and the link.
class TClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QLabel::mouseReleaseEvent(event);
    if (OnClick) OnClick();
  }
};

}  // namespace

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormAbout"));
  setFixedSize(532, 363);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  auto* picture = new TClickLabel;
  picture->setPixmap(TIconProvider::Icon(QStringLiteral("velloran")).pixmap(160, 160));
  picture->setFrameShape(QFrame::Box);
  picture->setAlignment(Qt::AlignCenter);
  picture->setFixedSize(180, 180);
  picture->setCursor(Qt::PointingHandCursor);
  picture->OnClick = [this] { label_homepageClick(); };

  LabelName = new QLabel;
  LabelName->setObjectName(QStringLiteral("LabelName"));
  LabelName->setStyleSheet(QStringLiteral("font-family: Verdana; font-size: 28pt; font-weight: bold; color: #D70005;"));
  LabelBuild = new QLabel;
  LabelBuild->setObjectName(QStringLiteral("LabelBuild"));

  auto* link = new TClickLabel;
  link->setObjectName(QStringLiteral("label_homepage"));
  link->setTextFormat(Qt::PlainText);
  link->setStyleSheet(QStringLiteral("color: blue; font-weight: bold; text-decoration: underline;"));
  link->setCursor(Qt::PointingHandCursor);
  link->OnClick = [this] { label_homepageClick(); };
  label_homepage = link;

  auto* close = new QPushButton(QStringLiteral("Close"));
  close->setObjectName(QStringLiteral("btOK"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(20, 20, 20, 16);
  grid->setHorizontalSpacing(20);
  grid->addWidget(picture, 0, 0, 5, 1, Qt::AlignTop);
  grid->addWidget(LabelName, 0, 1, 1, 2);
  grid->addWidget(LabelBuild, 1, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Homepage:")), 2, 1);
  grid->addWidget(label_homepage, 2, 2);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(2, 1);
  grid->addWidget(close, 4, 2, Qt::AlignRight | Qt::AlignBottom);
}

void TFormAbout::Fill(const QString& title, const QString& date, const QString& homepage, const QString& build) {
  setWindowTitle(QStringLiteral("About: ") + title);
  LabelName->setText(title);
  LabelBuild->setText(QStringLiteral("Build: %1 Date: %2").arg(build, date));
  label_homepage->setText(homepage);
}

void TFormAbout::label_homepageClick() { QDesktopServices::openUrl(QUrl(label_homepage->text())); }
