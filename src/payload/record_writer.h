// Composing payload records, for the tools (never linked into the stub).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "payload/format.h"

namespace payload {

struct RecordHeader {
  std::string name;  // code-page bytes, "\" between directories; at most 255
  uint16_t fatDate = 0;
  uint16_t fatTime = 0;
  uint8_t attributes = DOS_ARCHIVE;
  uint32_t uncompressedSize = 0;
};

// Tag, size, date, time, attributes, name, length, then the code stream.
std::vector<uint8_t> ComposeRecord(const RecordHeader& header, std::span<const uint8_t> stream);

}  // namespace payload
