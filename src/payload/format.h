// The setup file's payload: one description for the stub that reads it and
// the packer that writes it.
//
//   offset 0                                   STUB_SIZE                 end of file
//   +-----------------------------------------+----------+----------+---+----------+
//   | the program (PE image, no overlay)      | record 0 | record 1 |...| record n |
//   +-----------------------------------------+----------+----------+---+----------+
//                                               script     licence      files...
//
// No header, no count, no index, no gap, no end marker: the end of the file
// ends the chain. STUB_SIZE is the end of the last section's raw data in the
// program's own PE headers (payload/pe_image.h).
//
// One record, all integers little-endian:
//
//   0   4  Tag               "QX1\0" (written by the packer, never examined)
//   4   4  RecordSize        whole record, tag to last stream byte
//   8   2  FatDate           MS-DOS date: year-1980 << 9 | month << 5 | day
//   10  2  FatTime           MS-DOS time: hours << 11 | minutes << 5 | seconds/2
//   12  1  Attributes        MS-DOS attribute bits
//   13  1  NameLength        n, 0 to 255
//   14  n  Name              code-page bytes, no terminator, "\" separates
//   14+n 4 UncompressedSize  decoded length
//   18+n .. Stream           LZHUF code stream up to RecordSize
//
// From offset 14+n on a record is exactly a file in the published LZHUF file
// format (a 4-byte length, then the code stream).
#pragma once

#include <cstdint>

namespace payload {

inline constexpr uint8_t RECORD_TAG[4] = {'Q', 'X', '1', 0};

inline constexpr uint32_t OFFSET_TAG = 0;
inline constexpr uint32_t OFFSET_RECORD_SIZE = 4;
inline constexpr uint32_t OFFSET_FAT_DATE = 8;
inline constexpr uint32_t OFFSET_FAT_TIME = 10;
inline constexpr uint32_t OFFSET_ATTRIBUTES = 12;
inline constexpr uint32_t OFFSET_NAME_LENGTH = 13;
inline constexpr uint32_t OFFSET_NAME = 14;

// Fixed fields around the name: tag to NameLength (14) plus UncompressedSize (4).
inline constexpr uint32_t RECORD_FIXED_SIZE = 18;
// A record's header (tag and size) must be whole before anything is read.
inline constexpr uint32_t RECORD_HEADER_SIZE = 8;
inline constexpr uint32_t MAX_NAME_LENGTH = 255;

// Records in their fixed order.
inline constexpr unsigned RECORD_SCRIPT = 0;
inline constexpr unsigned RECORD_LICENSE = 1;
inline constexpr unsigned FIRST_FILE_RECORD = 2;

// MS-DOS attribute bits of a record.
inline constexpr uint8_t DOS_READONLY = 0x01;
inline constexpr uint8_t DOS_HIDDEN = 0x02;
inline constexpr uint8_t DOS_SYSTEM = 0x04;
inline constexpr uint8_t DOS_VOLUME = 0x08;
inline constexpr uint8_t DOS_DIRECTORY = 0x10;
inline constexpr uint8_t DOS_ARCHIVE = 0x20;

inline constexpr uint32_t StreamOffset(uint32_t nameLength) { return RECORD_FIXED_SIZE + nameLength; }
inline constexpr uint32_t SizeOffset(uint32_t nameLength) { return OFFSET_NAME + nameLength; }

static_assert(StreamOffset(0) == 18 && SizeOffset(0) == 14);

inline uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t ReadLe16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline void WriteLe32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline void WriteLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace payload
