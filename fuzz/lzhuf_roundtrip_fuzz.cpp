// libFuzzer target: any bytes, at either level, through encoder and decoder.
#include "fuzz_target.h"
#include "lzhuf_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzing::RunCheck(fuzzing::CheckRoundTrip, "lzhuf round trip", data, size);
}
