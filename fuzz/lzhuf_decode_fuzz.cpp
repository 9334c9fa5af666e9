// libFuzzer target: the fast decoder against the literal reference decoder.
#include "fuzz_target.h"
#include "lzhuf_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzing::RunCheck(fuzzing::CheckDecoder, "lzhuf decoder", data, size);
}
