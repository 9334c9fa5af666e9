#include "payload/pe_image.h"

#include "payload/format.h"

namespace payload {
namespace {
constexpr uint32_t kDosLfanew = 0x3C;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kMaxSections = 96;
}  // namespace

uint32_t StubSizeFromHeaders(ReadAt read, void* context) {
  uint8_t dos[64];
  if (read(context, 0, dos, sizeof dos) != sizeof dos || dos[0] != 'M' || dos[1] != 'Z') return 0;
  uint32_t pe = ReadLe32(dos + kDosLfanew);

  // Signature (4) and COFF file header (20).
  uint8_t coff[24];
  if (pe > 0x10000000u || read(context, pe, coff, sizeof coff) != sizeof coff) return 0;
  if (coff[0] != 'P' || coff[1] != 'E' || coff[2] != 0 || coff[3] != 0) return 0;
  uint32_t sections = ReadLe16(coff + 6);
  uint32_t optionalSize = ReadLe16(coff + 20);
  if (sections == 0 || sections > kMaxSections) return 0;

  uint32_t table = pe + static_cast<uint32_t>(sizeof coff) + optionalSize;
  uint32_t end = 0;
  for (uint32_t i = 0; i < sections; ++i) {
    uint8_t header[kSectionHeaderSize];
    if (read(context, table + i * kSectionHeaderSize, header, sizeof header) != sizeof header) return 0;
    uint32_t rawSize = ReadLe32(header + 16);
    uint32_t rawPointer = ReadLe32(header + 20);
    if (rawSize == 0) continue;
    if (rawPointer > 0xFFFFFFFFu - rawSize) return 0;
    if (rawPointer + rawSize > end) end = rawPointer + rawSize;
  }
  return end;
}

}  // namespace payload
