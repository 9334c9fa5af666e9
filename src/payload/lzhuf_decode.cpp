#include "payload/lzhuf_decode.h"

namespace lzhuf {
namespace {

// Bits are taken most significant first; bytes past the end read as zero.
struct BitReader {
  const uint8_t* in;
  const uint8_t* end;
  uint16_t buf;
  unsigned len;
  uint32_t zeroBytes;  // bytes read past the end of the stream

  void Refill() {
    while (len <= 8) {
      unsigned b = 0;
      if (in < end) {
        b = *in++;
      } else {
        ++zeroBytes;
      }
      buf = static_cast<uint16_t>(buf | (b << (8 - len)));
      len += 8;
    }
  }
  unsigned Bit() {
    Refill();
    unsigned bit = buf >> 15;
    buf = static_cast<uint16_t>(buf << 1);
    --len;
    return bit;
  }
  unsigned Byte() {
    Refill();
    unsigned byte = buf >> 8;
    buf = static_cast<uint16_t>(buf << 8);
    len -= 8;
    return byte;
  }
};

int DecodeChar(HuffTree& tree, BitReader& bits) {
  int c = tree.son[R];
  while (c < T) c = tree.son[c + static_cast<int>(bits.Bit())];
  c -= T;
  tree.Update(c);
  return c;
}

int DecodePosition(const DecoderState& s, BitReader& bits) {
  unsigned i = bits.Byte();
  unsigned upper = static_cast<unsigned>(s.tables.d_code[i]) << 6;
  unsigned n = s.tables.d_len[i] - 2u;
  while (n-- != 0) i = (i << 1) + bits.Bit();
  return static_cast<int>(upper | (i & 0x3F));
}

}  // namespace

DecodeResult Decode(DecoderState& s, const uint8_t* stream, uint32_t streamLength,
                    uint32_t declaredLength, Sink sink, void* context) {
  s.tables = POSITION_TABLES;
  uint32_t pending = 0;
  uint64_t count = 0;
  uint64_t bitsUsed = 0;
  if (declaredLength != 0) {
    s.tree.Start();
    for (int i = 0; i < RING_START; ++i) s.text_buf[i] = ' ';
    for (int i = RING_START; i < N; ++i) s.text_buf[i] = 0;

    BitReader bits{stream, stream + streamLength, 0, 0, 0};
    int r = RING_START;
    auto put = [&](uint8_t b) {
      s.out[pending++] = b;
      if (pending == OUTPUT_BLOCK) {
        sink(context, s.out, pending);
        pending = 0;
      }
      s.text_buf[r] = b;
      r = (r + 1) & (N - 1);
    };

    while (count < declaredLength) {
      int c = DecodeChar(s.tree, bits);
      if (c < 256) {
        put(static_cast<uint8_t>(c));
        ++count;
      } else {
        int i = (r - DecodePosition(s, bits) - 1) & (N - 1);
        int len = MatchLength(c);
        count += static_cast<uint64_t>(len);
        for (int k = 0; k < len; ++k) put(s.text_buf[(i + k) & (N - 1)]);
      }
    }
    bitsUsed = (static_cast<uint64_t>(bits.in - stream) + bits.zeroBytes) * 8 - bits.len;
  }
  sink(context, s.out, pending);
  return DecodeResult{count, bitsUsed};
}

}  // namespace lzhuf
