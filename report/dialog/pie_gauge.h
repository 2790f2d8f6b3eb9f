#pragma once

// TPieGauge: a small round percentage gauge. The filled share of the disc
// grows clockwise from twelve o'clock, and the percentage is written in the
// middle.

#include <QWidget>

class TPieGauge : public QWidget {
  Q_OBJECT

 public:
  explicit TPieGauge(QWidget* parent = nullptr);

  int Progress() const { return FProgress; }
  // Clamped to 0..100; repaints only when the value changes.
  void SetProgress(int percent);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int FProgress = 0;
};
