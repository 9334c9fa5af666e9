// The properties the program's fuzz targets check (scripts, command lines,
// payload records), shared with the test that replays their seed folders.
// Each runs the real code over the host sandbox and returns what went
// wrong, or "".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// data = any script text. Reads stay inside their buffers and return their
// counts truthfully; a write is read back, before and after the flush.
std::string CheckScript(const uint8_t* data, size_t size);

// data = any command line (up to its first zero byte); the first byte's low
// bit turns double-byte lead bytes on. The tail lies inside the line.
std::string CheckCommandLine(const uint8_t* data, size_t size);

// data = any payload behind a stub. Extracting the first record and then up
// to four installing records ends, writes nothing outside the sandbox's
// drive, and answers every question it asks.
std::string CheckRecords(const uint8_t* data, size_t size);

}  // namespace fuzzing
