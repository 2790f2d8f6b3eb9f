#pragma once

// TFormWizardHTML: the report wizard. Lists the HTML templates, lets the
// user set the page title, the charset line and the target file, shows a
// live preview of the report in an embedded browser view and exports it.
// The generation itself is the report engine the dialog owns; the dialog
// feeds it the fields, drives the progress gauge and shows the preview.
//
// Use (see report_wizard.h for the opener that does this):
//
//   TFormWizardHTML dialog(parent);
//   dialog.Engine().FAudioFile.FileList = paths;
//   dialog.SetCharsetLine(remembered);     // optional
//   dialog.PrepareWizard();
//   dialog.exec();
//   remembered = dialog.CharsetLine();
//
// While a report is built the engine lets the user interface run, so the
// buttons that start a generation (and the template list) are disabled for
// that time, and closing the dialog only asks the run to stop: the dialog
// closes once the engine has returned, so its audio file object never goes
// while the engine still uses it.

#include <QDialog>
#include <memory>
#include <string>

#include "report/engine/report_engine.h"

class QComboBox;
class QFileDialog;
class QLayout;
class QLineEdit;
class QPushButton;
class QWebEngineView;
class TPieGauge;

class TFormWizardHTML : public QDialog {
  Q_OBJECT

 public:
  explicit TFormWizardHTML(QWidget* parent = nullptr);
  ~TFormWizardHTML() override;

  TReportEngine& Engine() { return *FEngine; }

  // Fills the charset list, works out the default title, file name and
  // picture name from the first file, lists the templates and, when no
  // charset line was handed in, writes the first charset's meta line.
  void PrepareWizard();
  // Lists the templates folder into ComboTemplates (lower-case names).
  void FillTemplateList();

  QString CharsetLine() const;
  void SetCharsetLine(const QString& line);

  bool IsGenerating() const { return FEngine->IsBusy(); }

  // Closing while a report is built stops the run first.
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  QWidget* BuildHeader();
  QWidget* BuildHeaderInfoGroup();
  QWidget* BuildTemplateGroup();
  QLayout* BuildFileRow();
  void ConnectHandlers();
  void FillCharsetList();
  void HDefaultChange(int index);
  void HDefaultEdited();
  void ComboTemplatesChange();
  void btnPreviewClick();
  void ExportNowClick();
  void BtnRefreshClick();
  void btChengeNameClick();
  // One generation with the dialog's fields; refuses while one runs or
  // while the dialog is still being set up.
  TReportResult RunReport(TReportMode mode);
  void SetGenerating(bool generating);
  void ShowPreview(const std::string& path);

  std::unique_ptr<TReportEngine> FEngine;
  // Set from construction until PrepareWizard: generation requests and
  // template listing are ignored meanwhile.
  bool FLoading = true;
  // Close was asked for while a report was being built.
  bool FCloseWhenIdle = false;
  int FCloseResult = Rejected;
  bool FCentred = false;
  // The user typed into the charset list since it last took its text.
  bool FCharsetTyped = false;

  QLineEdit* HTitle = nullptr;
  QLineEdit* HCharset = nullptr;
  QComboBox* HDefault = nullptr;
  QComboBox* ComboTemplates = nullptr;
  QPushButton* BtnRefresh = nullptr;
  QPushButton* btnPreview = nullptr;
  QWebEngineView* WebBrowser = nullptr;
  QLineEdit* HFileName = nullptr;
  QPushButton* btChengeName = nullptr;
  QPushButton* ExportNow = nullptr;
  QPushButton* BT_WizardCSV_Cancel = nullptr;
  QFileDialog* SaveDialog = nullptr;
  TPieGauge* ProgressHTML = nullptr;
};
