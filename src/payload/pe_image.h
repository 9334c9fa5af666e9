#pragma once

#include <cstdint>

namespace payload {

// Reads count bytes at offset of an image; returns the number read.
using ReadAt = uint32_t (*)(void* context, uint32_t offset, void* buffer, uint32_t count);

// The end of the last section's raw data in a PE file's headers: the size of
// the program without payload. 0 when the headers are not those of a PE file.
uint32_t StubSizeFromHeaders(ReadAt read, void* context);

}  // namespace payload
