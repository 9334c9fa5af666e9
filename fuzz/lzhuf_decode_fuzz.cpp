// libFuzzer target: the fast decoder against the literal reference decoder.
#include <cstdio>
#include <cstdlib>

#include "lzhuf_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string failure = fuzzing::CheckDecoder(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "lzhuf decoder: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
