#pragma once

// TPreviewPage: the web page behind the report preview. It shows the
// preview file and nothing else: a link clicked inside the preview opens in
// the user's own browser (or mail program), never inside the dialog.

#include <QWebEnginePage>

class TPreviewPage : public QWebEnginePage {
  Q_OBJECT

 public:
  using QWebEnginePage::QWebEnginePage;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) override;
  // Links that ask for a new window (target="_blank") go the same way.
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  // Set on the short-lived page made for a new-window link: whatever it is
  // asked to load goes to the system, and the page then goes.
  bool FHandOnly = false;
};
