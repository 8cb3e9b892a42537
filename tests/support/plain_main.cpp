// Entry point of the plain *_tests binaries (no display needed).
#include <gtest/gtest.h>

#include "support/test_util.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  testenv::usePrivateDataHome();
  return testenv::runAllTests();
}
