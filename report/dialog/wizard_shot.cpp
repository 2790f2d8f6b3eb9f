// velloran-wizard-shot: a picture of the report wizard for the README.
// Opens the wizard over the music files given, picks the named template,
// previews it, waits for the preview to render and saves the window.
//
//   velloran-wizard-shot OUTPUT.png TEMPLATE FILE...

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>

#include "report/dialog/form_wizard_html.h"
#include "toolkit/program_info.h"

int main(int argc, char* argv[]) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s OUTPUT.png TEMPLATE FILE...\n", argv[0]);
    return 2;
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  SetMessageNotifier([](const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); });
  const QString output = QString::fromLocal8Bit(argv[1]);

  TFormWizardHTML dialog;
  for (int i = 3; i < argc; ++i) dialog.Engine().FAudioFile.FileList.push_back(argv[i]);
  dialog.PrepareWizard();
  auto* templates = dialog.findChild<QComboBox*>(QStringLiteral("ComboTemplates"));
  const int chosen = templates->findText(QString::fromLocal8Bit(argv[2]));
  if (chosen < 0) {
    std::fprintf(stderr, "no template %s\n", argv[2]);
    return 1;
  }
  templates->setCurrentIndex(chosen);

  int result = 1;
  auto* view = dialog.findChild<QWebEngineView*>(QStringLiteral("WebBrowser"));
  QObject::connect(view, &QWebEngineView::loadFinished, &dialog, [&](bool ok) {
    if (!ok) {
      std::fprintf(stderr, "the preview did not load\n");
      app.exit(1);
      return;
    }
    // Give the page a moment to paint before the picture is taken.
    QTimer::singleShot(1500, &dialog, [&] {
      result = dialog.grab().save(output) ? 0 : 1;
      app.exit(result);
    });
  });
  dialog.show();
  QTimer::singleShot(300, &dialog, [&] { dialog.findChild<QPushButton*>(QStringLiteral("btnPreview"))->click(); });
  QTimer::singleShot(60000, &app, [&] {
    std::fprintf(stderr, "timed out\n");
    app.exit(1);
  });
  return app.exec() == 0 ? result : 1;
}
