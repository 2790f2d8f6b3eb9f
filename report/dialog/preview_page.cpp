#include "report/dialog/preview_page.h"

#include <QDesktopServices>

bool TPreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) {
  if (FHandOnly) {
    QDesktopServices::openUrl(url);
    deleteLater();
    return false;
  }
  if (type == NavigationTypeLinkClicked) {
    QDesktopServices::openUrl(url);
    return false;
  }
  return QWebEnginePage::acceptNavigationRequest(url, type, is_main_frame);
}

QWebEnginePage* TPreviewPage::createWindow(WebWindowType) {
  auto* page = new TPreviewPage(profile(), this);
  page->FHandOnly = true;
  return page;
}
