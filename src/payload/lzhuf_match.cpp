#include "payload/lzhuf_match.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lzhuf {
namespace {

constexpr size_t kPadding = 8;

// Length of the common prefix of a and b, at most limit. Both may be read up
// to 7 bytes past limit (the buffer's padding covers that).
unsigned CommonLength(const uint8_t* a, const uint8_t* b, unsigned limit) {
  unsigned length = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (length + 8 <= limit) {
      uint64_t x, y;
      std::memcpy(&x, a + length, 8);
      std::memcpy(&y, b + length, 8);
      if (x != y) return length + static_cast<unsigned>(std::countr_zero(x ^ y)) / 8;
      length += 8;
    }
  }
  while (length < limit && a[length] == b[length]) ++length;
  return length;
}

}  // namespace

RingInput::RingInput(std::span<const uint8_t> input)
    : end_(RING_START + input.size()),
      hashBits_(std::clamp(static_cast<unsigned>(std::bit_width(input.size())), 12u, 16u)),
      buffer_(RING_START + input.size() + kPadding, 0) {
  std::fill(buffer_.begin(), buffer_.begin() + RING_START, static_cast<uint8_t>(' '));
  std::copy(input.begin(), input.end(), buffer_.begin() + RING_START);
}

unsigned RingInput::Limit(size_t i) const {
  return static_cast<unsigned>(std::min<size_t>(F, end_ - i));
}

// ---- Hash chains ------------------------------------------------------------

ChainFinder::ChainFinder(std::span<const uint8_t> input, unsigned maxDepth)
    : RingInput(input), maxDepth_(maxDepth), head_(HashSize(), -1), prev_(kSlots, -1) {
  for (size_t i = 0; i < RING_START; ++i) Insert(i);
}

int64_t ChainFinder::Insert(size_t i) {
  if (i + THRESHOLD + 1 > end_) return -1;
  uint32_t h = Hash(i);
  int64_t nearest = head_[h];
  prev_[i & (kSlots - 1)] = nearest;
  head_[h] = static_cast<int64_t>(i);
  return nearest;
}

int ChainFinder::Find(size_t i, Match* out) {
  int64_t candidate = Insert(i);
  unsigned limit = Limit(i);
  if (limit < THRESHOLD + 1) return 0;
  const uint8_t* current = &buffer_[i];
  unsigned best = THRESHOLD;
  int count = 0;
  for (unsigned depth = maxDepth_; candidate >= 0 && depth > 0; --depth) {
    size_t distance = i - static_cast<size_t>(candidate);
    if (distance > static_cast<size_t>(N)) break;
    const uint8_t* earlier = &buffer_[static_cast<size_t>(candidate)];
    // Only a candidate that also matches the byte after the best so far can beat it.
    if (earlier[best] == current[best]) {
      unsigned length = CommonLength(earlier, current, limit);
      if (length > best) {
        best = length;
        out[count++] = Match{static_cast<uint16_t>(length), static_cast<uint16_t>(distance)};
        if (length == limit) break;
      }
    }
    candidate = prev_[static_cast<size_t>(candidate) & (kSlots - 1)];
  }
  return count;
}

Match ChainFinder::Longest(size_t i) {
  Match found[MAX_MATCHES];
  int count = Find(i, found);
  return count == 0 ? Match{0, 0} : found[count - 1];
}

// ---- Binary trees -----------------------------------------------------------
//
// Each tree holds the positions whose first three bytes share a hash, ordered
// by their next F bytes, every node newer than the nodes below it. Only
// positions with F bytes ahead of them enter a tree, so its order is exact;
// the last F - 1 positions of the input search without entering.

TreeFinder::TreeFinder(std::span<const uint8_t> input, unsigned maxDepth)
    : RingInput(input), maxDepth_(maxDepth), root_(HashSize(), -1), children_(2 * kSlots, -1) {
  Match ignored[MAX_MATCHES];
  for (size_t i = 0; i < RING_START; ++i) Find(i, ignored);
}

int TreeFinder::Find(size_t i, Match* out) {
  const unsigned limit = Limit(i);
  if (limit < THRESHOLD + 1) return 0;
  const bool enter = limit == F;
  const uint8_t* current = &buffer_[i];
  const uint32_t h = Hash(i);
  int64_t candidate = root_[h];

  // The new node's two subtrees are built from the nodes the walk passes:
  // those smaller than the current string hang on the left, larger on the right.
  int64_t* smaller = &children_[2 * (i & (kSlots - 1))];
  int64_t* larger = smaller + 1;
  if (enter) root_[h] = static_cast<int64_t>(i);
  // Every node below the walk shares at least min(smallerLength, largerLength)
  // bytes with the current string, so comparing starts there.
  unsigned smallerLength = 0, largerLength = 0;
  unsigned best = THRESHOLD;
  int count = 0;
  for (unsigned depth = maxDepth_;; --depth) {
    if (candidate < 0 || i - static_cast<size_t>(candidate) > static_cast<size_t>(N) || depth == 0) {
      if (enter) *smaller = *larger = -1;
      break;
    }
    const size_t node = static_cast<size_t>(candidate);
    int64_t* pair = &children_[2 * (node & (kSlots - 1))];
    const uint8_t* earlier = &buffer_[node];
    unsigned length = std::min(smallerLength, largerLength);
    length += CommonLength(earlier + length, current + length, limit - length);
    if (length > best) {
      best = length;
      out[count++] = Match{static_cast<uint16_t>(length), static_cast<uint16_t>(i - node)};
    }
    if (length == limit) {
      // Equal over F bytes: the new node takes the old one's place and subtrees.
      if (enter) {
        *smaller = pair[0];
        *larger = pair[1];
      }
      break;
    }
    // Walk on past the node; when entering, it joins the side it sorts to.
    if (earlier[length] < current[length]) {
      smallerLength = length;
      if (enter) {
        *smaller = candidate;
        smaller = pair + 1;
      }
      candidate = pair[1];
    } else {
      largerLength = length;
      if (enter) {
        *larger = candidate;
        larger = pair;
      }
      candidate = pair[0];
    }
  }
  return count;
}

}  // namespace lzhuf
