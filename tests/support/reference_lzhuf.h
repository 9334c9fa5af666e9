// A slow, literal LZHUF decoder written straight from the format's
// description, to check the fast one against on any stream.
#pragma once

#include <cstdint>
#include <vector>

namespace reference {

std::vector<uint8_t> DecodeLzhuf(const std::vector<uint8_t>& stream, uint32_t declaredLength);

struct TracedDecode {
  std::vector<uint8_t> bytes;
  // A match copied from a ring slot that no byte had written yet (4036 to
  // 4095 at the start): the bytes then depend on the ring's initial zeros.
  bool readUnwritten = false;
};

// DecodeLzhuf, also telling whether the stream read an unwritten ring slot.
TracedDecode DecodeLzhufTraced(const std::vector<uint8_t>& stream, uint32_t declaredLength);

}  // namespace reference
