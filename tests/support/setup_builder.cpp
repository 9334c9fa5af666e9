#include "setup_builder.h"

#include <stdexcept>

#include "payload/format.h"
#include "payload/lzhuf_encode.h"

namespace testing_support {

Bytes ToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes MinimalStub(uint32_t size) {
  constexpr uint32_t kPe = 0x40, kRaw = 0x200;
  if (size < 1024) throw std::invalid_argument("stub too small");
  Bytes stub(size, 0);
  stub[0] = 'M';
  stub[1] = 'Z';
  payload::WriteLe32(&stub[0x3C], kPe);
  stub[kPe] = 'P';
  stub[kPe + 1] = 'E';
  payload::WriteLe16(&stub[kPe + 4], 0x14C);  // i386
  payload::WriteLe16(&stub[kPe + 6], 1);      // one section
  payload::WriteLe16(&stub[kPe + 20], 0);     // no optional header
  uint8_t* section = &stub[kPe + 24];
  for (int i = 0; i < 5; ++i) section[i] = static_cast<uint8_t>(".text"[i]);
  payload::WriteLe32(section + 16, size - kRaw);  // SizeOfRawData
  payload::WriteLe32(section + 20, kRaw);         // PointerToRawData
  return stub;
}

Bytes RecordFor(const FileSpec& file) {
  payload::RecordHeader header{file.name, file.fatDate, file.fatTime, file.attributes,
                               static_cast<uint32_t>(file.data.size())};
  return payload::ComposeRecord(header, lzhuf::EncodeStream(file.data, lzhuf::Level::Fast));
}

Bytes Concat(const Bytes& stub, const std::vector<Bytes>& records) {
  Bytes out = stub;
  for (const Bytes& record : records) out.insert(out.end(), record.begin(), record.end());
  return out;
}

}  // namespace testing_support
