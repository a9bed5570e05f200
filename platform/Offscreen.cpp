#include "platform/Offscreen.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace platform {

namespace {

QtMessageHandler previousHandler = nullptr;

void PassOnlySevereMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
  if (type != QtCriticalMsg && type != QtFatalMsg) return;
  if (previousHandler)
    previousHandler(type, context, message);
  else
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

void QuietOffscreenMessages() {
  const QtMessageHandler previous = qInstallMessageHandler(PassOnlySevereMessages);
  if (previous != PassOnlySevereMessages) previousHandler = previous;
}

}  // namespace platform
