// libFuzzer target: any bytes, at either level, through encoder and decoder.
#include <cstdio>
#include <cstdlib>

#include "lzhuf_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string failure = fuzzing::CheckRoundTrip(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "lzhuf round trip: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
