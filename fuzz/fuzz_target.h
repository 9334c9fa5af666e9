// What every libFuzzer target does with its property: run it, and abort
// with its message when it fails, so the fuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzing {

inline int RunCheck(std::string (*check)(const uint8_t*, size_t), const char* name, const uint8_t* data,
                    size_t size) {
  std::string failure = check(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "%s: %s\n", name, failure.c_str());
    std::abort();
  }
  return 0;
}

}  // namespace fuzzing
