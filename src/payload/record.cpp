#include "payload/record.h"

#include "payload/lzhuf.h"

namespace payload {

ChainAt CheckRecordHeader(uint32_t fileSize, uint32_t cursor, uint32_t recordSize) {
  if (fileSize <= cursor || fileSize - cursor < RECORD_HEADER_SIZE) return ChainAt::End;
  if (recordSize < RECORD_FIXED_SIZE || recordSize > fileSize - cursor) return ChainAt::Damaged;
  return ChainAt::Record;
}

bool ParseRecordBlock(const uint8_t* block, uint32_t blockSize, RecordView* view) {
  constexpr uint32_t b = BLOCK_BIAS;
  if (blockSize < RECORD_FIXED_SIZE - b) return false;
  uint32_t nameLength = block[OFFSET_NAME_LENGTH - b];
  if (blockSize < StreamOffset(nameLength) - b) return false;
  view->recordSize = ReadLe32(block);
  view->fatDate = ReadLe16(block + OFFSET_FAT_DATE - b);
  view->fatTime = ReadLe16(block + OFFSET_FAT_TIME - b);
  view->attributes = block[OFFSET_ATTRIBUTES - b];
  view->nameLength = static_cast<uint8_t>(nameLength);
  view->name = reinterpret_cast<const char*>(block + OFFSET_NAME - b);
  view->uncompressedSize = ReadLe32(block + SizeOffset(nameLength) - b);
  view->stream = block + StreamOffset(nameLength) - b;
  view->streamSize = blockSize - (StreamOffset(nameLength) - b);
  return true;
}

uint64_t MaxDecodedSize(uint32_t streamSize) {
  return (8 * uint64_t{streamSize} + 1) * lzhuf::F;
}

uint32_t MapAttributes(uint8_t dosAttributes) {
  constexpr uint32_t kReadOnly = 0x01, kHidden = 0x02, kSystem = 0x04, kArchive = 0x20, kNormal = 0x80;
  unsigned a = dosAttributes;
  uint32_t f = 0;
  if (a >= DOS_ARCHIVE) { f = kArchive; a -= DOS_ARCHIVE; }
  if (a >= DOS_DIRECTORY) a -= DOS_DIRECTORY;
  if (a >= DOS_VOLUME) a -= DOS_VOLUME;
  if (a >= DOS_SYSTEM) { f |= kSystem; a -= DOS_SYSTEM; }
  if (a >= DOS_HIDDEN) { f |= kHidden; a -= DOS_HIDDEN; }
  if (a == DOS_READONLY) f |= kReadOnly;
  return f != 0 ? f : kNormal;
}

WriteStamp SixHoursLater(uint16_t fatDate, uint16_t fatTime) {
  constexpr unsigned kHourShift = 11;
  auto time = static_cast<uint16_t>(fatTime + 0x3000);
  WriteStamp stamp{fatDate, time, 0};
  if ((time >> kHourShift) >= 24) {
    stamp.fatTime = static_cast<uint16_t>(time - (24u << kHourShift));
    stamp.dayCarry = 1;
  }
  return stamp;
}

}  // namespace payload
