#include "report/dialog/report_wizard.h"

#include <QApplication>
#include <unistd.h>

#include "audiofile/audio_file.h"
#include "report/dialog/form_wizard_html.h"
#include "toolkit/text_codec.h"

namespace {

// Reads the charset line back into the owner when the dialog is left, also
// when an error unwinds out of it.
class TCharsetKeeper {
 public:
  TCharsetKeeper(TAudioFile& owner, const TFormWizardHTML& dialog) : owner_(owner), dialog_(dialog) {}
  ~TCharsetKeeper() { owner_.ReportCharset = dialog_.CharsetLine().toStdString(); }
  TCharsetKeeper(const TCharsetKeeper&) = delete;
  TCharsetKeeper& operator=(const TCharsetKeeper&) = delete;

 private:
  TAudioFile& owner_;
  const TFormWizardHTML& dialog_;
};

}  // namespace

void OpenReportWizard(TAudioFile& owner) {
  if (owner.FileList.empty()) return;
  TFormWizardHTML dialog(QApplication::activeWindow());
  dialog.Engine().FAudioFile.FileList = owner.FileList;
  // An all-blank line is not worth keeping: the dialog then starts with
  // the first charset's meta line.
  if (!TrimControls(owner.ReportCharset).empty()) dialog.SetCharsetLine(QString::fromStdString(owner.ReportCharset));
  TCharsetKeeper keeper(owner, dialog);
  dialog.PrepareWizard();
  dialog.exec();
}

void InstallReportWizard() {
  // The preview's browser engine will not start its sandbox for the root
  // user and would leave the preview blank; run it without one then.
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  SetReportWizardOpener(OpenReportWizard);
}
