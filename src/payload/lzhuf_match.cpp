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

MatchFinder::MatchFinder(std::span<const uint8_t> input, unsigned maxDepth)
    : maxDepth_(maxDepth),
      end_(RING_START + input.size()),
      buffer_(RING_START + input.size() + kPadding, 0),
      head_(size_t{1} << kHashBits, -1),
      prev_(kPrevSize, -1) {
  std::fill(buffer_.begin(), buffer_.begin() + RING_START, static_cast<uint8_t>(' '));
  std::copy(input.begin(), input.end(), buffer_.begin() + RING_START);
  for (size_t i = 0; i < RING_START; ++i) Insert(i);
}

unsigned MatchFinder::Limit(size_t i) const {
  return static_cast<unsigned>(std::min<size_t>(F, end_ - i));
}

int64_t MatchFinder::Insert(size_t i) {
  if (i + THRESHOLD + 1 > end_) return -1;
  uint32_t h = Hash(i);
  int64_t nearest = head_[h];
  prev_[i & (kPrevSize - 1)] = nearest;
  head_[h] = static_cast<int64_t>(i);
  return nearest;
}

int MatchFinder::Find(size_t i, Match* out) {
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
    candidate = prev_[static_cast<size_t>(candidate) & (kPrevSize - 1)];
  }
  return count;
}

Match MatchFinder::Longest(size_t i) {
  Match found[MAX_MATCHES];
  int count = Find(i, found);
  return count == 0 ? Match{0, 0} : found[count - 1];
}

}  // namespace lzhuf
