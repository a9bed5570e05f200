#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/detail/QtBridge.h"

namespace platform {

namespace {

QUrl UrlOf(const QString& target) {
  const QUrl url(target);
  // A scheme of one letter is a Windows drive ("C:"), not a URL.
  if (url.isValid() && url.scheme().size() > 1) return url;
  QFileInfo file(target);
  if (file.exists()) return QUrl::fromLocalFile(file.absoluteFilePath());
  return QUrl::fromUserInput(target);
}

}  // namespace

bool OpenDocument(const std::string& target, TShowMode) {
  if (target.empty()) return false;
  const QUrl url = UrlOf(detail::ToQString(target));
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace platform
