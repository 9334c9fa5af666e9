#include "payload/record_writer.h"

#include <stdexcept>

namespace payload {

std::vector<uint8_t> ComposeRecord(const RecordHeader& header, std::span<const uint8_t> stream) {
  if (header.name.size() > MAX_NAME_LENGTH) throw std::length_error("record name longer than 255 bytes");
  const auto nameLength = static_cast<uint32_t>(header.name.size());
  const uint64_t size = uint64_t{StreamOffset(nameLength)} + stream.size();
  if (size > 0xFFFFFFFFu) throw std::length_error("record larger than 4 GB");
  std::vector<uint8_t> record(StreamOffset(nameLength));
  for (uint32_t i = 0; i < 4; ++i) record[OFFSET_TAG + i] = RECORD_TAG[i];
  WriteLe32(record.data() + OFFSET_RECORD_SIZE, static_cast<uint32_t>(size));
  WriteLe16(record.data() + OFFSET_FAT_DATE, header.fatDate);
  WriteLe16(record.data() + OFFSET_FAT_TIME, header.fatTime);
  record[OFFSET_ATTRIBUTES] = header.attributes;
  record[OFFSET_NAME_LENGTH] = static_cast<uint8_t>(nameLength);
  for (uint32_t i = 0; i < nameLength; ++i) record[OFFSET_NAME + i] = static_cast<uint8_t>(header.name[i]);
  WriteLe32(record.data() + SizeOffset(nameLength), header.uncompressedSize);
  record.insert(record.end(), stream.begin(), stream.end());
  return record;
}

}  // namespace payload
