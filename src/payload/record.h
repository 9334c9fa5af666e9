// Reading one payload record: plain checks and views over bytes, shared by
// the stub's reader and the tools.
#pragma once

#include <cstdint>

#include "payload/format.h"

namespace payload {

enum class ChainAt {
  End,      // nothing, or fewer than 8 bytes, left at the cursor: the chain ends
  Damaged,  // RecordSize 0, too small for the fixed fields, or past the end of the file
  Record,   // a record of RecordSize bytes lies whole inside the file
};

// Judges the record header at cursor in a file of fileSize bytes. recordSize
// is only looked at when at least 8 bytes remain.
ChainAt CheckRecordHeader(uint32_t fileSize, uint32_t cursor, uint32_t recordSize);

// A record read into memory from its RecordSize field on (record offset 4),
// so that record offset k lies at block offset k - 4.
struct RecordView {
  uint32_t recordSize;
  uint16_t fatDate;
  uint16_t fatTime;
  uint8_t attributes;
  uint8_t nameLength;
  const char* name;  // nameLength bytes, not terminated
  uint32_t uncompressedSize;
  const uint8_t* stream;
  uint32_t streamSize;
};

inline constexpr uint32_t BLOCK_BIAS = OFFSET_RECORD_SIZE;

// Reads the fields of a block of recordSize - 4 bytes. False when the record
// is too small to hold its fixed fields and its name.
bool ParseRecordBlock(const uint8_t* block, uint32_t blockSize, RecordView* view);

// The most bytes a code stream of streamSize bytes can decode to: every
// symbol takes at least one bit and gives at most the longest match. A
// declared length beyond it can only come from a damaged record.
uint64_t MaxDecodedSize(uint32_t streamSize);

// The record's MS-DOS attribute byte as the written file's attributes:
// read-only, hidden, system and archive are kept, volume and directory
// dropped, and nothing left gives FILE_ATTRIBUTE_NORMAL.
uint32_t MapAttributes(uint8_t dosAttributes);

// The record's stamp moved six hours on, summed in 16 bits as the format's
// readers always have. dayCarry is 1 when the hour field reaches 24 to 29:
// fatTime then holds the hour less 24, and the stamp lies a day later.
struct WriteStamp {
  uint16_t fatDate;
  uint16_t fatTime;
  uint32_t dayCarry;
};
WriteStamp SixHoursLater(uint16_t fatDate, uint16_t fatTime);

}  // namespace payload
