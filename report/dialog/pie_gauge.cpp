#include "report/dialog/pie_gauge.h"

#include <QPainter>
#include <algorithm>

namespace {

const QColor kFillColor(135, 206, 250);  // light blue
const QColor kBackColor(Qt::white);
const QColor kRimColor(70, 130, 180);

}  // namespace

TPieGauge::TPieGauge(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
  setToolTip(tr("Progress"));
}

void TPieGauge::SetProgress(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (percent == FProgress) return;
  FProgress = percent;
  update();
}

QSize TPieGauge::sizeHint() const { return {40, 40}; }

void TPieGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QRectF disc = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  painter.setPen(QPen(kRimColor, 1));
  painter.setBrush(kBackColor);
  painter.drawEllipse(disc);
  if (FProgress > 0) {
    // Qt counts angles in 1/16 degree, counter-clockwise from three o'clock.
    painter.setBrush(kFillColor);
    painter.drawPie(disc, 90 * 16, -FProgress * 360 * 16 / 100);
  }
  QFont small = font();
  small.setPixelSize(11);
  painter.setFont(small);
  painter.setPen(Qt::black);
  painter.drawText(rect(), Qt::AlignCenter, QString::number(FProgress) + QLatin1Char('%'));
}
