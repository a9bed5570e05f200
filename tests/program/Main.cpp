// Each program test builds the whole program, which makes its own platform
// application object; none is made here.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return RUN_ALL_TESTS();
}
