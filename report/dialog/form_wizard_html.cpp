#include "report/dialog/form_wizard_html.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <array>

#include "report/dialog/pie_gauge.h"
#include "report/dialog/preview_page.h"
#include "report/engine/templates.h"
#include "toolkit/text_codec.h"

namespace {

struct TCharsetEntry {
  const char* Label;
  const char* Name;
};

// The charset list. Every label but "Other" ends with one blank, as the
// list has always shown them; "Other" gives a meta line without a name.
constexpr std::array<TCharsetEntry, 19> kCharsets{{
    {"Western (Latin 1) ", "iso-8859-1"},
    {"Japanese (Shift JIS) ", "Shift_JIS"},
    {"Japanese (JIS) ", "iso-2022-jp"},
    {"Traditional Chinese (Big5) ", "big5"},
    {"Korean (EUC-KR) ", "euc-kr"},
    {"Central European (ISO-8859-2) ", "iso-8859-2"},
    {"Central European (MacCE) ", "x-mac-ce"},
    {"Central European (Windows-1250) ", "windows-1250"},
    {"Cyrillic (ISO-8859-5) ", "iso-8859-5"},
    {"Cyrillic (KOI8-R) ", "KOI8-R"},
    {"Cyrillic (MacCyrillic) ", "x-mac-cyrillic"},
    {"Cyrillic (Windows-1251) ", "windows-1251"},
    {"Greek (ISO-8859-7) ", "iso-8859-7"},
    {"Greek (MacGreek) ", "x-mac-greek"},
    {"Greek (Windows-1253) ", "windows-1253"},
    {"Icelandic Mac (ISO-8859-1) ", "iso-8859-1"},
    {"Windows 1252 ", "windows-1252"},
    {"Unicode (UTF-8) ", "utf-8"},
    {"Other", ""},
}};

constexpr int kWidth = 671;
constexpr int kHeight = 559;
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 400;

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The folder of path with its trailing "/", or empty.
std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A year or album holding "/" would otherwise put the proposed report into
// another folder (or one that does not exist).
std::string WithoutSeparators(std::string name) {
  for (char& c : name)
    if (c == '/') c = '-';
  return name;
}

QPushButton* MakeButton(const QString& caption, const char* object_name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(object_name));
  button->setAutoDefault(false);
  return button;
}

QLineEdit* MakeLineEdit(const char* object_name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(object_name));
  return edit;
}

}  // namespace

TFormWizardHTML::TFormWizardHTML(QWidget* parent) : QDialog(parent), FEngine(std::make_unique<TReportEngine>()) {
  setObjectName(QStringLiteral("FormWizardHTML"));
  setWindowTitle(tr("Wizard: Export to HTML"));
  setModal(true);
  BuildControls();
  resize(kWidth, kHeight);
  setMinimumSize(kMinWidth, kMinHeight);

  FEngine->OnProcessEvents = [] { QCoreApplication::processEvents(); };
  FEngine->OnStepProgress = [this](int position) { ProgressHTML->SetProgress(position); };
  FEngine->OnResetProgress = [this](bool visible) {
    ProgressHTML->SetProgress(0);
    ProgressHTML->setVisible(visible);
  };
  FEngine->OnShowPreview = [this](const std::string& path) { ShowPreview(path); };

  // Esc closes the dialog from whichever of its controls has the focus,
  // including the preview, which would otherwise keep the key to itself.
  qApp->installEventFilter(this);
}

TFormWizardHTML::~TFormWizardHTML() = default;

void TFormWizardHTML::BuildControls() {
  auto* groups = new QHBoxLayout;
  groups->addWidget(BuildHeaderInfoGroup(), 3);
  groups->addWidget(BuildTemplateGroup(), 2);

  WebBrowser = new QWebEngineView(this);
  WebBrowser->setObjectName(QStringLiteral("WebBrowser"));
  WebBrowser->setPage(new TPreviewPage(WebBrowser));
  WebBrowser->setMinimumHeight(120);

  SaveDialog = new QFileDialog(this);
  SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
  SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
  SaveDialog->setFileMode(QFileDialog::AnyFile);
  SaveDialog->selectFile(QStringLiteral("untitled"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildHeader());
  layout->addLayout(groups);
  layout->addWidget(WebBrowser, 1);
  layout->addLayout(BuildFileRow());
  ConnectHandlers();
}

QWidget* TFormWizardHTML::BuildHeader() {
  auto* header = new QFrame(this);
  header->setAutoFillBackground(true);
  header->setBackgroundRole(QPalette::Base);
  header->setFrameShape(QFrame::StyledPanel);
  auto* information = new QLabel(tr("Information"), header);
  QFont bold = information->font();
  bold.setBold(true);
  information->setFont(bold);
  auto* explanation = new QLabel(tr("Export tag and mpeg information to HTML. "), header);
  ProgressHTML = new TPieGauge(header);
  ProgressHTML->setObjectName(QStringLiteral("ProgressHTML"));
  ProgressHTML->hide();
  // The gauge keeps its place while hidden, so the header does not jump.
  QSizePolicy gauge_policy = ProgressHTML->sizePolicy();
  gauge_policy.setRetainSizeWhenHidden(true);
  ProgressHTML->setSizePolicy(gauge_policy);

  auto* texts = new QVBoxLayout;
  texts->addWidget(information);
  texts->addWidget(explanation);
  auto* layout = new QHBoxLayout(header);
  layout->addLayout(texts, 1);
  layout->addWidget(ProgressHTML, 0, Qt::AlignRight | Qt::AlignVCenter);
  return header;
}

QWidget* TFormWizardHTML::BuildHeaderInfoGroup() {
  auto* group = new QGroupBox(tr("HTML Header Info"), this);
  HTitle = MakeLineEdit("HTitle", group);
  HTitle->setText(tr("HTML Report"));
  HCharset = MakeLineEdit("HCharset", group);
  HCharset->setMinimumWidth(180);
  HDefault = new QComboBox(group);
  HDefault->setObjectName(QStringLiteral("HDefault"));
  HDefault->setEditable(true);
  HDefault->setInsertPolicy(QComboBox::NoInsert);
  // The labels are long; the charset line beside the list is what matters.
  HDefault->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  HDefault->setMinimumContentsLength(12);

  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel(tr("Title:"), group), 0, 0);
  grid->addWidget(HTitle, 0, 1, 1, 2);
  grid->addWidget(new QLabel(tr("Charset:"), group), 1, 0);
  grid->addWidget(HCharset, 1, 1);
  grid->addWidget(HDefault, 1, 2);
  grid->setColumnStretch(1, 3);
  grid->setColumnStretch(2, 2);
  return group;
}

QWidget* TFormWizardHTML::BuildTemplateGroup() {
  auto* group = new QGroupBox(tr("Template"), this);
  ComboTemplates = new QComboBox(group);
  ComboTemplates->setObjectName(QStringLiteral("ComboTemplates"));
  BtnRefresh = MakeButton(tr("Refresh List"), "BtnRefresh", group);
  btnPreview = MakeButton(tr("Preview"), "btnPreview", group);
  auto* grid = new QGridLayout(group);
  grid->addWidget(ComboTemplates, 0, 0, 1, 2);
  grid->addWidget(BtnRefresh, 1, 0);
  grid->addWidget(btnPreview, 1, 1);
  return group;
}

QLayout* TFormWizardHTML::BuildFileRow() {
  HFileName = MakeLineEdit("HFileName", this);
  btChengeName = MakeButton(tr("Change..."), "btChengeName", this);
  ExportNow = MakeButton(tr("Export"), "ExportNow", this);
  BT_WizardCSV_Cancel = MakeButton(tr("Close"), "BT_WizardCSV_Cancel", this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(tr("File Name:"), this));
  row->addWidget(HFileName, 1);
  row->addWidget(btChengeName);
  row->addSpacing(12);
  row->addWidget(ExportNow);
  row->addWidget(BT_WizardCSV_Cancel);
  return row;
}

void TFormWizardHTML::ConnectHandlers() {
  connect(HDefault, &QComboBox::activated, this, &TFormWizardHTML::HDefaultChange);
  connect(HDefault->lineEdit(), &QLineEdit::textEdited, this, [this] { FCharsetTyped = true; });
  connect(HDefault->lineEdit(), &QLineEdit::editingFinished, this, &TFormWizardHTML::HDefaultEdited);
  connect(ComboTemplates, &QComboBox::activated, this, &TFormWizardHTML::ComboTemplatesChange);
  connect(btnPreview, &QPushButton::clicked, this, &TFormWizardHTML::btnPreviewClick);
  connect(ExportNow, &QPushButton::clicked, this, &TFormWizardHTML::ExportNowClick);
  connect(BtnRefresh, &QPushButton::clicked, this, &TFormWizardHTML::BtnRefreshClick);
  connect(btChengeName, &QPushButton::clicked, this, &TFormWizardHTML::btChengeNameClick);
  connect(BT_WizardCSV_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormWizardHTML::PrepareWizard() {
  FillCharsetList();
  FLoading = false;

  TAudioFile& audio = FEngine->FAudioFile;
  const std::string first = audio.FileList.empty() ? std::string() : audio.FileList.front();
  const std::string name = audio.GetReportName(first);
  HFileName->setText(FromUtf8(FolderOf(first) + WithoutSeparators(name) + ".htm"));
  HTitle->setText(FromUtf8(name));
  FEngine->FImageName = audio.FileTools().CleanFileName(name + ".jpg");

  FillTemplateList();
  if (ComboTemplates->count() > 0) ComboTemplates->setCurrentIndex(0);
  if (HCharset->text().isEmpty()) HDefaultChange(HDefault->currentIndex());
}

void TFormWizardHTML::FillCharsetList() {
  HDefault->clear();
  for (const TCharsetEntry& entry : kCharsets) HDefault->addItem(QString::fromLatin1(entry.Label));
  HDefault->setCurrentIndex(0);
}

void TFormWizardHTML::FillTemplateList() {
  if (FLoading) return;
  ComboTemplates->clear();
  for (const std::string& name : ListTemplateFiles(FEngine->FTemplatesFolder)) ComboTemplates->addItem(FromUtf8(name));
}

QString TFormWizardHTML::CharsetLine() const { return HCharset->text(); }

void TFormWizardHTML::SetCharsetLine(const QString& line) { HCharset->setText(line); }

void TFormWizardHTML::HDefaultChange(int index) {
  if (index < 0 || index >= static_cast<int>(kCharsets.size())) return;
  SetCharsetLine(FromUtf8(CharsetMetaLine(kCharsets[static_cast<size_t>(index)].Name)));
}

// Text typed into the charset list picks the entry whose label (or charset
// name) it spells, in any letter case; text that names no entry leaves the
// charset line as it is.
void TFormWizardHTML::HDefaultEdited() {
  if (!FCharsetTyped) return;
  FCharsetTyped = false;
  const QString typed = HDefault->currentText().trimmed();
  for (size_t i = 0; i < kCharsets.size(); ++i) {
    const QString label = QString::fromLatin1(kCharsets[i].Label).trimmed();
    const QString name = QString::fromLatin1(kCharsets[i].Name);
    if (typed.compare(label, Qt::CaseInsensitive) == 0 || (!name.isEmpty() && typed.compare(name, Qt::CaseInsensitive) == 0)) {
      HDefault->setCurrentIndex(static_cast<int>(i));
      HDefaultChange(static_cast<int>(i));
      return;
    }
  }
}

void TFormWizardHTML::ComboTemplatesChange() { RunReport(TReportMode::Preview); }

void TFormWizardHTML::btnPreviewClick() { RunReport(TReportMode::Preview); }

void TFormWizardHTML::ExportNowClick() { RunReport(TReportMode::Export); }

void TFormWizardHTML::BtnRefreshClick() {
  if (IsGenerating()) return;
  FillTemplateList();
  if (ComboTemplates->count() > 0) {
    ComboTemplates->setCurrentIndex(0);
    btnPreview->setEnabled(true);
  }
}

void TFormWizardHTML::btChengeNameClick() {
  if (!HFileName->text().isEmpty()) SaveDialog->selectFile(HFileName->text());
  if (SaveDialog->exec() != QDialog::Accepted) return;
  const QStringList chosen = SaveDialog->selectedFiles();
  if (!chosen.isEmpty()) HFileName->setText(chosen.first());
}

TReportResult TFormWizardHTML::RunReport(TReportMode mode) {
  if (FLoading || IsGenerating()) return TReportResult::Ignored;
  TReportEngine& engine = *FEngine;
  engine.FTemplateName = ComboTemplates->count() > 0 ? ComboTemplates->currentText().toStdString() : std::string();
  engine.FTitle = HTitle->text().toStdString();
  engine.FCharsetLine = HCharset->text().toStdString();
  engine.FOutputFileName = HFileName->text().toStdString();

  // Disabling the button that was pressed moves the focus on; it goes back
  // once the controls are on again.
  QPointer<QWidget> focused = focusWidget();
  SetGenerating(true);
  const TReportResult result = engine.BuildReport(mode);
  SetGenerating(false);
  // A request that found no template turns Preview off until the list is
  // filled again; any other request turns it back on.
  btnPreview->setEnabled(result != TReportResult::NoTemplates);
  if (focused && focused->isEnabled()) focused->setFocus();

  if (FCloseWhenIdle) {
    FCloseWhenIdle = false;
    QDialog::done(FCloseResult);
  }
  return result;
}

void TFormWizardHTML::SetGenerating(bool generating) {
  for (QWidget* control : {static_cast<QWidget*>(ComboTemplates), static_cast<QWidget*>(BtnRefresh),
                           static_cast<QWidget*>(btnPreview), static_cast<QWidget*>(ExportNow)})
    control->setEnabled(!generating);
}

void TFormWizardHTML::ShowPreview(const std::string& path) {
  WebBrowser->setUrl(QUrl::fromLocalFile(FromUtf8(path)));
}

void TFormWizardHTML::done(int result) {
  if (IsGenerating()) {
    // The engine is still on the stack below this call: ask it to stop and
    // close once it has returned (RunReport does that).
    FEngine->Cancel();
    FCloseWhenIdle = true;
    FCloseResult = result;
    return;
  }
  QDialog::done(result);
}

bool TFormWizardHTML::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      static_cast<QWidget*>(watched)->window() == this) {
    reject();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormWizardHTML::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FCentred) return;
  FCentred = true;
  if (QScreen* shown_on = screen()) move(shown_on->availableGeometry().center() - rect().center());
  HTitle->setFocus();
}
