// Resource files are opened only when they are regular files.
#include "assets/resource_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brambleshot {

ResourceFile openResource(const std::string& path, std::uint64_t& size) {
  struct stat info {};
  // Looked at before opening, so that nothing is opened that could act on being opened.
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  // Should the path have been replaced by a FIFO in the meantime, O_NONBLOCK keeps open from
  // waiting for a writer; fstat then refuses it. On a regular file the flag changes nothing.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file = fdopen(fd, "rb");
  if (!file) {
    close(fd);
    return nullptr;
  }
  size = static_cast<std::uint64_t>(info.st_size);
  return ResourceFile(file);
}

}  // namespace brambleshot
