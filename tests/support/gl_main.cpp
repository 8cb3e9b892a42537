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
