// Entry point of the *_gltests binaries: the GL window is made by an environment, after
// GoogleTest has parsed its flags, so listing the tests needs no display.
#include <gtest/gtest.h>

#include "support/test_util.h"

#include "support/gl_env.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  testenv::usePrivateDataHome();
  ::testing::AddGlobalTestEnvironment(new testenv::GlEnvironment);
  return testenv::runAllTests();
}

// The leak checker's (sanitizer builds) known leaks of system libraries: SDL's game controllers
// open D-Bus when a bus is there, and libdbus keeps a buffer for the process's life.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
