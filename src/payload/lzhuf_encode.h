// The LZHUF encoder, for the tools only (never linked into the stub).
//
// Every stream it writes decodes, with the published decoder, to exactly the
// input: no match reaches past the end, and the declared length is the
// input's. The same input and level give the same bytes on every run.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lzhuf {

enum class Level {
  // The default: hash chains, the longest nearest match, one byte of
  // look-ahead weighed with the adaptive tree's current prices.
  Fast,
  // Binary-tree search for the nearest match of every length, then the
  // cheapest path through each 4 KB block under the current prices.
  Best,
};

// The code stream alone. Throws std::length_error for input the 32-bit
// length cannot declare.
std::vector<uint8_t> EncodeStream(std::span<const uint8_t> input, Level level);

// The published file format: the input's length as 4 bytes little-endian,
// then the code stream.
std::vector<uint8_t> EncodeFile(std::span<const uint8_t> input, Level level);

}  // namespace lzhuf
