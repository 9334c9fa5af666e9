#include "payload/lzhuf_encode.h"

#include <algorithm>

#include "payload/lzhuf.h"
#include "payload/lzhuf_tree.h"

namespace lzhuf {
namespace {

// The code for the upper six bits of a position: the top bits of the first
// byte value that the decoder's tables map to it.
struct PositionCode {
  uint8_t bits[64];
  uint8_t length[64];
};

constexpr PositionCode MakePositionCode() {
  PositionCode code{};
  for (int byte = 255; byte >= 0; --byte) {
    int upper = POSITION_TABLES.d_code[byte];
    code.length[upper] = POSITION_TABLES.d_len[byte];
    code.bits[upper] = static_cast<uint8_t>(byte >> (8 - code.length[upper]));
  }
  return code;
}

constexpr PositionCode POSITION_CODE = MakePositionCode();
static_assert(POSITION_CODE.length[0] == 3 && POSITION_CODE.bits[0] == 0);
static_assert(POSITION_CODE.length[63] == 8 && POSITION_CODE.bits[63] == 0xFF);

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Put(uint32_t code, unsigned length) {
    acc_ = (acc_ << length) | (code & ((1u << length) - 1));
    fill_ += length;
    while (fill_ >= 8) {
      fill_ -= 8;
      out_.push_back(static_cast<uint8_t>(acc_ >> fill_));
    }
  }
  void Finish() {
    if (fill_ > 0) out_.push_back(static_cast<uint8_t>(acc_ << (8 - fill_)));
    fill_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint64_t acc_ = 0;
  unsigned fill_ = 0;
};

class SymbolCoder {
 public:
  explicit SymbolCoder(BitWriter& bits) : bits_(bits) { tree_.Start(); }

  // Writes the symbol's code, the branches from the root to its leaf, then
  // counts it as the decoder will.
  void Symbol(int symbol) {
    unsigned depth = 0;
    for (int node = tree_.prnt[symbol + T]; node != R; node = tree_.prnt[node]) {
      path_[depth++] = static_cast<uint8_t>(node - tree_.son[tree_.prnt[node]]);
    }
    uint32_t code = 0;
    unsigned length = 0;
    while (depth > 0) {
      code = (code << 1) | path_[--depth];
      if (++length == 24) {
        bits_.Put(code, length);
        code = 0;
        length = 0;
      }
    }
    bits_.Put(code, length);
    tree_.Update(symbol);
  }

  void Position(unsigned position) {
    unsigned upper = position >> 6;
    bits_.Put(POSITION_CODE.bits[upper], POSITION_CODE.length[upper]);
    bits_.Put(position & 0x3F, 6);
  }

 private:
  BitWriter& bits_;
  HuffTree tree_;
  uint8_t path_[T];
};

// Greedy longest-match search over hash chains. The input is preceded by the
// ring's initial spaces, which matches may copy from.
class Matcher {
 public:
  Matcher(std::span<const uint8_t> input, unsigned maxChain)
      : maxChain_(maxChain), buffer_(RING_START + input.size(), ' ') {
    std::copy(input.begin(), input.end(), buffer_.begin() + RING_START);
    head_.assign(kHashSize, -1);
    prev_.assign(buffer_.size(), -1);
    for (size_t i = 0; i + 3 <= RING_START; ++i) Insert(i);
  }

  size_t Start() const { return RING_START; }
  size_t End() const { return buffer_.size(); }
  uint8_t At(size_t i) const { return buffer_[i]; }

  void Insert(size_t i) {
    if (i + 3 > buffer_.size()) return;
    uint32_t h = Hash(i);
    prev_[i] = head_[h];
    head_[h] = static_cast<int64_t>(i);
  }

  // The longest match at i: length (0 when below 3) and distance.
  std::pair<unsigned, unsigned> Longest(size_t i) const {
    size_t limit = std::min<size_t>(F, buffer_.size() - i);
    if (limit < THRESHOLD + 1) return {0, 0};
    unsigned bestLength = 0, bestDistance = 0;
    unsigned chain = maxChain_;
    for (int64_t candidate = head_[Hash(i)]; candidate >= 0 && chain-- > 0; candidate = prev_[candidate]) {
      size_t distance = i - static_cast<size_t>(candidate);
      if (distance > static_cast<size_t>(N)) break;
      size_t length = 0;
      while (length < limit && buffer_[candidate + length] == buffer_[i + length]) ++length;
      if (length > bestLength) {
        bestLength = static_cast<unsigned>(length);
        bestDistance = static_cast<unsigned>(distance);
        if (length == limit) break;
      }
    }
    if (bestLength < THRESHOLD + 1) return {0, 0};
    return {bestLength, bestDistance};
  }

 private:
  static constexpr uint32_t kHashBits = 16;
  static constexpr uint32_t kHashSize = 1u << kHashBits;
  uint32_t Hash(size_t i) const {
    uint32_t v = buffer_[i] | buffer_[i + 1] << 8 | buffer_[i + 2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
  }

  unsigned maxChain_;
  std::vector<uint8_t> buffer_;
  std::vector<int64_t> head_;
  std::vector<int64_t> prev_;
};

}  // namespace

std::vector<uint8_t> EncodeStream(std::span<const uint8_t> input, Level level) {
  std::vector<uint8_t> out;
  if (input.empty()) return out;
  BitWriter bits(out);
  SymbolCoder coder(bits);
  Matcher matcher(input, level == Level::Best ? 4096 : 64);
  size_t i = matcher.Start();
  while (i < matcher.End()) {
    auto [length, distance] = matcher.Longest(i);
    if (length == 0) {
      coder.Symbol(matcher.At(i));
      matcher.Insert(i);
      ++i;
      continue;
    }
    coder.Symbol(MatchSymbol(static_cast<int>(length)));
    coder.Position(distance - 1);
    for (unsigned k = 0; k < length; ++k) matcher.Insert(i + k);
    i += length;
  }
  bits.Finish();
  return out;
}

std::vector<uint8_t> EncodeFile(std::span<const uint8_t> input, Level level) {
  std::vector<uint8_t> file(4);
  auto size = static_cast<uint32_t>(input.size());
  for (int k = 0; k < 4; ++k) file[k] = static_cast<uint8_t>(size >> (8 * k));
  std::vector<uint8_t> stream = EncodeStream(input, level);
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}

}  // namespace lzhuf
