// velloran: the desktop program. Starts into the main window; files and
// folders named on the command line are added once the window is up. A
// first argument "debug" switches the debug log on instead of naming a file.

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include "app/form_main.h"
#include "report/dialog/report_wizard.h"
#include "toolkit/product.h"
#include "toolkit/program_info.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(kProgramTitle));
  SetProgramArguments(argc, argv);
  SetMessageNotifier([](const std::string& message) {
    QMessageBox::warning(QApplication::activeWindow(), QString::fromLatin1(kProgramTitle),
                         QString::fromStdString(message), QMessageBox::Ok);
  });
  InstallReportWizard();

  TFormMain window;
  window.show();

  QStringList paths;
  const auto& arguments = ProgramArguments();
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i == 0 && QString::fromStdString(arguments[i]).compare(QStringLiteral("debug"), Qt::CaseInsensitive) == 0)
      continue;
    // Made absolute, so the rows, the viewer and the report's proposed file
    // name do not depend on the folder the program was started from.
    paths << QFileInfo(QFile::decodeName(arguments[i].c_str())).absoluteFilePath();
  }
  if (!paths.isEmpty()) QTimer::singleShot(0, &window, [&window, paths] { window.AddPaths(paths); });

  int result = app.exec();
  SetMessageNotifier(nullptr);
  return result;
}
