#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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
  // The desktop's own opener, as every desktop of freedesktop.org offers it;
  // Qt's services are the fallback (on some platforms they do nothing).
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (!opener.isEmpty()) {
    const QString argument = url.isLocalFile() ? url.toLocalFile() : url.toString();
    return QProcess::startDetached(opener, {argument});
  }
  return QDesktopServices::openUrl(url);
}

}  // namespace platform
