#include "lzhuf_properties.h"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

#include "payload/lzhuf_decode.h"
#include "payload/lzhuf_encode.h"
#include "support/reference_lzhuf.h"

namespace fuzzing {
namespace {

using Bytes = std::vector<uint8_t>;

void Append(void* context, const uint8_t* data, uint32_t count) {
  auto* out = static_cast<Bytes*>(context);
  out->insert(out->end(), data, data + count);
}

struct Decoded {
  Bytes bytes;
  lzhuf::DecodeResult result;
};

Decoded DecodeFast(const Bytes& stream, uint32_t declared) {
  auto state = std::make_unique<lzhuf::DecoderState>();
  Decoded out;
  out.result = lzhuf::Decode(*state, stream.data(), static_cast<uint32_t>(stream.size()), declared, Append, &out.bytes);
  return out;
}

}  // namespace

std::string CheckDecoder(const uint8_t* data, size_t size) {
  if (size < 4) return "";
  uint32_t declared = (data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24) %
                      (kMaxDeclared + 1);
  Bytes stream(data + 4, data + size);
  Decoded fast = DecodeFast(stream, declared);
  if (fast.bytes != reference::DecodeLzhuf(stream, declared)) return "fast and reference decoders differ";
  if (fast.result.produced != fast.bytes.size()) return "produced is not the number of bytes written";
  if (fast.result.produced < declared || fast.result.produced >= uint64_t{declared} + lzhuf::F) {
    return "produced is outside declared .. declared + 59";
  }
  return "";
}

std::string CheckRoundTrip(const uint8_t* data, size_t size) {
  if (size < 1) return "";
  lzhuf::Level level = data[0] % 2 == 0 ? lzhuf::Level::Fast : lzhuf::Level::Best;
  std::span<const uint8_t> input(data + 1, size - 1);
  Bytes stream = lzhuf::EncodeStream(input, level);
  if (stream != lzhuf::EncodeStream(input, level)) return "two encodings of the same input differ";
  auto declared = static_cast<uint32_t>(input.size());
  Decoded fast = DecodeFast(stream, declared);
  if (!std::equal(fast.bytes.begin(), fast.bytes.end(), input.begin(), input.end())) return "decoded bytes differ";
  if (fast.result.produced != declared) return "a match runs past the end";
  if (fast.result.bitsUsed > stream.size() * 8) return "stream needs bits past its end";
  if (!stream.empty() && fast.result.bitsUsed + 8 <= stream.size() * 8) return "stream has a byte no symbol uses";
  reference::TracedDecode traced = reference::DecodeLzhufTraced(stream, declared);
  if (traced.readUnwritten) return "a match reads a ring slot before it is written";
  return "";
}

}  // namespace fuzzing
