// The properties the LZHUF fuzz targets check, shared with the test that
// replays the seed folders, so CI checks them without libFuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

// Largest declared length the decoder property tries: the literal reference
// decoder is slow, and longer outputs add nothing the short ones miss.
inline constexpr uint32_t kMaxDeclared = 1 << 16;

// data = declared length (4 bytes little-endian, taken modulo kMaxDeclared +
// 1), then any stream. The fast decoder must produce the reference decoder's
// bytes and report them truthfully. Returns what went wrong, or "".
std::string CheckDecoder(const uint8_t* data, size_t size);

// data = level selector (1 byte: even Fast, odd Best), then any input. Its
// stream must decode to exactly the input, within its own bits, without
// reading unwritten ring slots. Returns what went wrong, or "".
std::string CheckRoundTrip(const uint8_t* data, size_t size);

}  // namespace fuzzing
