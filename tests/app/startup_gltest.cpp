// The real program started where its images are missing: it names the first image it could not
// read and ends with status 1 during start-up.
#include <gtest/gtest.h>

#include "support/test_util.h"

namespace {

TEST(StartUp, WithoutResourcesReportsTheFirstImageAndExitsWithOne) {
  testenv::TempDir dir;  // an empty working directory: no ./Resources/ at all
  const testenv::ProcessResult result = testenv::runProcess(BRAMBLESHOT_BINARY, {}, dir.path(), 60);
  ASSERT_FALSE(result.timedOut) << result.output;
  EXPECT_EQ(result.exitCode, 1) << result.output;
  // The aircraft mesh is only reported; the bomb image is the first texture and ends start-up.
  EXPECT_NE(result.output.find("Could not open file ./Resources/cessna500.m\n"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("Trying to load: ./Resources/bomb.bmp\n"
                               "File Not Found : ./Resources/bomb.bmp\n"),
            std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find("explosion.bmp"), std::string::npos) << result.output;
}

}  // namespace
