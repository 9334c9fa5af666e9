// Match search for the LZHUF encoder: hash chains over the input, preceded by
// the ring's initial spaces, limited to the ring's 4096-byte reach.
//
// Use:
//   1. Build a MatchFinder over the input; positions are buffer indices, the
//      input starting at Start() (the spaces before it are positions 0..4035,
//      exactly the ring slots the decoder fills with spaces).
//   2. Visit every position from Start() to End() - 1 in order, calling
//      Find() or Longest() for it, or Skip() when its matches are not needed.
//      Each call also enters the position into the chains, so later
//      positions find it.
//
// A match never reaches past End() and never reads the ring slots 4036..4095
// before the decoder has written them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "payload/lzhuf.h"

namespace lzhuf {

struct Match {
  uint16_t length;    // THRESHOLD + 1 .. F
  uint16_t distance;  // 1 .. N; the position code is distance - 1
};

// Find() writes at most this many matches: each is longer than the one before.
inline constexpr int MAX_MATCHES = F - THRESHOLD;

class MatchFinder {
 public:
  // maxDepth bounds the chain candidates examined per position.
  MatchFinder(std::span<const uint8_t> input, unsigned maxDepth);

  size_t Start() const { return RING_START; }
  size_t End() const { return end_; }
  uint8_t At(size_t i) const { return buffer_[i]; }

  // The matches at i, nearest first, each strictly longer than the one
  // before, so each is the nearest found for its length. Returns the count.
  int Find(size_t i, Match* out);
  // The longest match at i (nearest among equals); length 0 when none.
  Match Longest(size_t i);
  // Enters i into the chains without searching.
  void Skip(size_t i) { Insert(i); }

 private:
  static constexpr unsigned kHashBits = 15;
  static constexpr size_t kPrevSize = 2 * N;  // a power of two above the reach

  uint32_t Hash(size_t i) const {
    uint32_t v = buffer_[i] | buffer_[i + 1] << 8 | buffer_[i + 2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
  }
  // Enters i into its chain; returns the previous head (the nearest candidate).
  int64_t Insert(size_t i);
  unsigned Limit(size_t i) const;

  unsigned maxDepth_;
  size_t end_;
  std::vector<uint8_t> buffer_;  // spaces, input, then zero padding for word compares
  std::vector<int64_t> head_;
  std::vector<int64_t> prev_;    // indexed by position mod kPrevSize
};

}  // namespace lzhuf
