// Match search for the LZHUF encoder over the input, preceded by the ring's
// initial spaces, limited to the ring's 4096-byte reach.
//
// Use:
//   1. Build a finder over the input; positions are buffer indices, the input
//      starting at Start() (the spaces before it are positions 0..4035,
//      exactly the ring slots the decoder fills with spaces).
//   2. Visit every position from Start() to End() - 1 in order, calling
//      Find() (or, on a ChainFinder, Longest() or Skip()) for it. Each call
//      also enters the position, so later positions find it.
//
// A match never reaches past End() and never reads the ring slots 4036..4095
// before the decoder has written them: a match may overlap the bytes it
// produces, as the decoder copies byte by byte.
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

// The bytes the decoder's ring will have held: the initial spaces, then the input.
class RingInput {
 public:
  explicit RingInput(std::span<const uint8_t> input);

  size_t Start() const { return RING_START; }
  size_t End() const { return end_; }
  uint8_t At(size_t i) const { return buffer_[i]; }

 protected:
  // Slots for per-position links: a power of two above the ring's reach.
  static constexpr size_t kSlots = 2 * N;

  uint32_t Hash(size_t i) const {
    uint32_t v = buffer_[i] | buffer_[i + 1] << 8 | buffer_[i + 2] << 16;
    return (v * 2654435761u) >> (32 - hashBits_);
  }
  size_t HashSize() const { return size_t{1} << hashBits_; }
  // The longest match the input allows at i.
  unsigned Limit(size_t i) const;

  size_t end_;
  // 12 bits for inputs up to 4 KB, one more per doubling, at most 16: small
  // inputs do not pay for clearing a table they cannot fill.
  unsigned hashBits_;
  std::vector<uint8_t> buffer_;  // spaces, input, then zero padding for word compares
};

// Hash chains, nearest first: cheap to enter a position, but a chain full of
// near misses costs the whole depth.
class ChainFinder : public RingInput {
 public:
  // maxDepth bounds the candidates examined per position.
  ChainFinder(std::span<const uint8_t> input, unsigned maxDepth);

  // The matches at i, nearest first, each strictly longer than the one
  // before, so each is the nearest found for its length. Returns the count.
  int Find(size_t i, Match* out);
  // The longest match at i (nearest among equals); length 0 when none.
  Match Longest(size_t i);
  // Enters i without searching.
  void Skip(size_t i) { Insert(i); }

 private:
  // Enters i into its chain; returns the previous head (the nearest candidate).
  int64_t Insert(size_t i);

  unsigned maxDepth_;
  std::vector<int64_t> head_;
  std::vector<int64_t> prev_;  // indexed by position mod kSlots
};

// Binary trees of the strings at each position, newest at the root: a search
// walks one path, which holds the nearest match of every length, and re-roots
// the tree at the new position on the way.
class TreeFinder : public RingInput {
 public:
  // maxDepth bounds the nodes visited per position.
  TreeFinder(std::span<const uint8_t> input, unsigned maxDepth);

  // As ChainFinder::Find; must be called for every position in order.
  int Find(size_t i, Match* out);

 private:
  unsigned maxDepth_;
  std::vector<int64_t> root_;
  std::vector<int64_t> children_;  // smaller and larger child of position p at 2 * (p mod kSlots)
};

}  // namespace lzhuf
