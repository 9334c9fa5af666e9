// libFuzzer target: see CheckRecords in program_properties.h.
#include "fuzz_target.h"
#include "program_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzzing::RunCheck(fuzzing::CheckRecords, "records", data, size);
}
