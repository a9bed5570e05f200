// The platform tests share one application object, created before any test
// runs. Run by hand, the tests use the offscreen platform too.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "platform/Application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  platform::TApplication application;
  return RUN_ALL_TESTS();
}
