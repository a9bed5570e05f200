// The board tests share one application object, created before any test
// runs, on the offscreen platform unless another is asked for.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::TApplication application;
  return RUN_ALL_TESTS();
}
