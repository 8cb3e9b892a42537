#include "picture.h"

#include <cstdio>

namespace soundreport {

bool writeReportPng(const std::string& path, const tools::Audio&, const std::string&) {
  std::fprintf(stderr, "soundreport: the picture %s is not there yet\n", path.c_str());
  return false;
}

}  // namespace soundreport
