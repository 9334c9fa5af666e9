// The LZHUF decoder. It produces exactly the bytes of the published 1988
// decoder for every stream and declared length, including streams that end
// early (the rest decodes from zero bits) and a last match that reaches past
// the declared length (it is written in full).
//
// Use:
//   1. The caller owns a DecoderState (about 13 KB). Nothing is global, so two
//      decoders can run side by side; nothing carries over between calls.
//   2. Call Decode once per stream with the stream's bytes, its declared
//      length and a sink. Decode builds a fresh tree and ring, then hands the
//      output to the sink in pieces of 4095 bytes followed by one closing
//      piece of 0 to 4094 bytes (the closing call also comes for length 0).
//   3. Decode has no failure result: bytes past the end of the stream read as
//      zero and are never taken from memory, so any input is safe.
#pragma once

#include <cstdint>

#include "payload/lzhuf.h"
#include "payload/lzhuf_tree.h"

namespace lzhuf {

inline constexpr uint32_t OUTPUT_BLOCK = 4095;

struct DecoderState {
  HuffTree tree;
  uint8_t text_buf[N + F - 1];
  PositionTables tables;
  uint8_t out[OUTPUT_BLOCK + 1];
};

// Receives decoded bytes; count may be 0 for the closing piece.
using Sink = void (*)(void* context, const uint8_t* data, uint32_t count);

struct DecodeResult {
  // Bytes produced: declaredLength, or up to 59 more when the last match
  // reaches past it (it is written in full).
  uint64_t produced;
  // Code bits the symbols took; more than 8 * streamLength when the stream
  // ran out and zero bits stood in for the rest.
  uint64_t bitsUsed;
};

// Decodes the stream into the sink.
DecodeResult Decode(DecoderState& state, const uint8_t* stream, uint32_t streamLength,
                    uint32_t declaredLength, Sink sink, void* context);

}  // namespace lzhuf
