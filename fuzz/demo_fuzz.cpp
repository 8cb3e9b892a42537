// libFuzzer target: the demo reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/demo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's size, so that reading past its end is caught.
  const std::string copy(reinterpret_cast<const char*>(data), size);
  const std::string_view text(copy.data(), copy.size());
  brambleshot::Demo demo;
  std::string error;
  if (brambleshot::parseDemo(text, "fuzz.demo", demo, error)) {
    // Every frame event has its checksum, and a demo read has its header.
    std::size_t frames = 0;
    for (const brambleshot::DemoEvent& event : demo.events)
      frames += event.type == brambleshot::DemoEventType::frame;
    if (frames != demo.frameChecksums.size() || demo.windowWidth < 64) __builtin_trap();
  } else if (error.rfind("fuzz.demo:", 0) != 0 || error.find('\n') != std::string::npos) {
    __builtin_trap();  // refusals name the file and a line, in one line
  }
  return 0;
}
