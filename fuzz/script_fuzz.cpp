// libFuzzer target: see CheckScript in program_properties.h.
#include "fuzz_target.h"
#include "program_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzing::RunCheck(fuzzing::CheckScript, "script", data, size);
}
