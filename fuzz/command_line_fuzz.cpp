// libFuzzer target: see CheckCommandLine in program_properties.h.
#include <cstdio>
#include <cstdlib>

#include "program_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string failure = fuzzing::CheckCommandLine(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "command_line: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
