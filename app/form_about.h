#pragma once

// TFormAbout: the modal about box with the product name, build, date and a
// link to the home page.

#include <QDialog>

class QLabel;

class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFormAbout(QWidget* parent = nullptr);

  void Fill(const QString& title, const QString& date, const QString& homepage, const QString& build);

  QLabel* LabelName = nullptr;
  QLabel* LabelBuild = nullptr;
  QLabel* label_homepage = nullptr;

 private:
  void label_homepageClick();
};
