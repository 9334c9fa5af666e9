// A slow, literal LZHUF decoder written straight from the format's
// description, to check the fast one against on any stream.
#pragma once

#include <cstdint>
#include <vector>

namespace reference {

std::vector<uint8_t> DecodeLzhuf(const std::vector<uint8_t>& stream, uint32_t declaredLength);

}  // namespace reference
