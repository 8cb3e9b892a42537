// The process-wide protections taken at the start of main, checked in a child process.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "app/streams.h"
#include "support/test_util.h"

namespace brambleshot {
namespace {

// A write past the file-size limit (a score table or demo on a nearly full quota) must fail with
// EFBIG, not kill the game with SIGXFSZ.
TEST(Streams, WritingPastTheFileSizeLimitFailsInsteadOfKilling) {
  testenv::TempDir dir;
  const std::string path = (dir / "big").string();
  EXPECT_EXIT(
      {
        protectStandardStreams();
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 16;
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (!file) _exit(11);
        char bytes[64] = {};
        std::fwrite(bytes, 1, sizeof bytes, file);
        _exit(std::fflush(file) != 0 && errno == EFBIG ? 0 : 12);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace brambleshot
