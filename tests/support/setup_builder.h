// Test fixtures for setup files: a minimal PE stub and records built from
// file contents with the tools' encoder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "payload/record_writer.h"

namespace testing_support {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(std::string_view text);

// A PE file of exactly size bytes (at least 1024) whose one section ends at
// size, so that its payload starts there.
Bytes MinimalStub(uint32_t size = 4096);

// 2024-03-05 13:14:20 as MS-DOS date and time.
inline constexpr uint16_t kDate = ((2024 - 1980) << 9) | (3 << 5) | 5;
inline constexpr uint16_t kTime = (13 << 11) | (14 << 5) | (20 / 2);

struct FileSpec {
  std::string name;
  Bytes data;
  uint16_t fatDate = kDate;
  uint16_t fatTime = kTime;
  uint8_t attributes = 0x20;
};

Bytes RecordFor(const FileSpec& file);

// The stub followed by the records.
Bytes Concat(const Bytes& stub, const std::vector<Bytes>& records);

}  // namespace testing_support
