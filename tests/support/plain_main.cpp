// Entry point of the plain *_tests binaries (no display needed).
#include <gtest/gtest.h>

#include "support/test_util.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  testenv::usePrivateDataHome();
  return testenv::runAllTests();
}

// The leak checker's (sanitizer builds) known leaks of system libraries: SDL's game controllers
// open D-Bus when a bus is there, and libdbus keeps a buffer for the process's life.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
