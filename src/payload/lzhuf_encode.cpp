#include "payload/lzhuf_encode.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "payload/lzhuf.h"
#include "payload/lzhuf_match.h"
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

// A nearer match never costs more than a farther one of the same length, so
// the parse needs only the nearest match of each length.
constexpr bool CodeGrowsWithDistance() {
  for (int upper = 1; upper < 64; ++upper) {
    if (POSITION_CODE.length[upper] < POSITION_CODE.length[upper - 1]) return false;
  }
  return true;
}
static_assert(CodeGrowsWithDistance());

// Prices are in sixteenths of a bit.
constexpr uint32_t kPriceScale = 16;

// What a match at this distance spends on its position.
inline uint32_t PositionBits(unsigned distance) {
  return (POSITION_CODE.length[(distance - 1) >> 6] + 6u) * kPriceScale;
}

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
  // Pads the last partial byte with zero bits; no whole byte is added.
  void Finish() {
    if (fill_ > 0) out_.push_back(static_cast<uint8_t>(acc_ << (8 - fill_)));
    fill_ = 0;
  }

 private:
  std::vector<uint8_t>& out_;
  uint64_t acc_ = 0;
  unsigned fill_ = 0;
};

// log2(x) in 32nds, rounded down, for x >= 1: the integer part from the top
// bit, then five fraction bits by squaring the mantissa. Integer arithmetic
// only, so prices (and the parse) are the same on every machine.
constexpr uint32_t Log2Times32(uint32_t x) {
  const unsigned top = static_cast<unsigned>(std::bit_width(x)) - 1;
  uint64_t mantissa = (uint64_t{x} << 16) >> top;  // [1, 2) in 16.16 fixed point
  uint32_t result = top;
  for (int bit = 0; bit < 5; ++bit) {
    mantissa = (mantissa * mantissa) >> 16;
    result <<= 1;
    if (mantissa >= (uint64_t{2} << 16)) {
      mantissa >>= 1;
      result |= 1;
    }
  }
  return result;
}
static_assert(Log2Times32(1) == 0 && Log2Times32(2) == 32 && Log2Times32(3) == 50 && Log2Times32(0x8000) == 480);

// A symbol's information content, -log2(weight / total), in price units.
constexpr uint32_t WeightPrice(unsigned total, unsigned weight) {
  static_assert(kPriceScale == 16);
  return (Log2Times32(total) - Log2Times32(weight) + 1) / 2;
}

// What each symbol is expected to cost under the tree as it stands: half its
// code length now and half its information content, which is where the
// code length drifts as counts grow.
struct SymbolPrices {
  uint32_t bits[N_CHAR];

  uint32_t Literal(uint8_t byte) const { return bits[byte]; }
  uint32_t Match(unsigned length, unsigned distance) const {
    return bits[MatchSymbol(static_cast<int>(length))] + PositionBits(distance);
  }
};

// Writes symbols and positions and keeps the tree in step with the decoder's.
class SymbolCoder {
 public:
  explicit SymbolCoder(BitWriter& bits) : bits_(bits) { tree_.Start(); }

  void Literal(uint8_t byte) { Symbol(byte); }
  void Match(unsigned length, unsigned distance) {
    Symbol(MatchSymbol(static_cast<int>(length)));
    unsigned position = distance - 1;
    unsigned upper = position >> 6;
    bits_.Put(POSITION_CODE.bits[upper], POSITION_CODE.length[upper]);
    bits_.Put(position & 0x3F, 6);
  }

  // Prices of every symbol; code lengths are the depths of the leaves, found by a walk from the root.
  void Prices(SymbolPrices& prices) const {
    int16_t stack[T];
    uint8_t depth[T];
    int top = 0;
    stack[top] = R;
    depth[top++] = 0;
    while (top > 0) {
      --top;
      int node = stack[top];
      uint8_t d = depth[top];
      int child = tree_.son[node];
      if (child >= T) {
        prices.bits[child - T] = d * kPriceScale / 2 + WeightPrice(tree_.freq[R], tree_.freq[node]) / 2;
        continue;
      }
      for (int k = 0; k < 2; ++k) {
        stack[top] = static_cast<int16_t>(child + k);
        depth[top++] = static_cast<uint8_t>(d + 1);
      }
    }
  }

 private:
  // The branches from the root to the symbol's leaf, then the count as the
  // decoder makes it.
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

  BitWriter& bits_;
  HuffTree tree_;
  uint8_t path_[T];
};

// ---- Fast: lazy matching with prices -------------------------------------

struct FastSettings {
  unsigned lazyBelow;    // a match this long or longer is taken without looking ahead
  unsigned refresh;      // symbols between price refreshes
  uint32_t gapBits;      // estimated bits per byte for the bytes one option leaves uncovered
};

// Whether a literal at i followed by next (found at i + 1) beats current at i.
bool PreferLater(const SymbolPrices& prices, uint8_t literal, Match current, Match next, uint32_t gapBits) {
  if (next.length == 0) return false;
  unsigned reach = std::max<unsigned>(current.length, next.length + 1u);
  uint32_t now = prices.Match(current.length, current.distance) + gapBits * (reach - current.length);
  uint32_t later = prices.Literal(literal) + prices.Match(next.length, next.distance) +
                   gapBits * (reach - next.length - 1u);
  return later < now;
}

// Whether the match costs more than its bytes as literals (short, far matches can).
bool WorseThanLiterals(const SymbolPrices& prices, const RingInput& finder, size_t i, Match m) {
  if (m.length > 5) return false;
  uint32_t literals = 0;
  for (unsigned k = 0; k < m.length; ++k) literals += prices.Literal(finder.At(i + k));
  return prices.Match(m.length, m.distance) >= literals;
}

void EncodeFast(ChainFinder& finder, SymbolCoder& coder, const FastSettings& settings) {
  SymbolPrices prices;
  coder.Prices(prices);
  unsigned sinceRefresh = 0;
  const size_t end = finder.End();
  size_t i = finder.Start();
  Match current = finder.Longest(i);
  while (i < end) {
    if (++sinceRefresh == settings.refresh) {
      coder.Prices(prices);
      sinceRefresh = 0;
    }
    if (current.length != 0 && WorseThanLiterals(prices, finder, i, current)) current = Match{0, 0};
    if (current.length == 0) {
      coder.Literal(finder.At(i));
      if (++i < end) current = finder.Longest(i);
      continue;
    }
    size_t entered = i + 1;  // positions below this are in the chains
    if (current.length < settings.lazyBelow && i + 1 < end) {
      Match next = finder.Longest(i + 1);
      entered = i + 2;
      if (PreferLater(prices, finder.At(i), current, next, settings.gapBits)) {
        coder.Literal(finder.At(i));
        ++i;
        current = next;
        continue;
      }
    }
    coder.Match(current.length, current.distance);
    size_t next = i + current.length;
    for (size_t k = entered; k < next; ++k) finder.Skip(k);
    i = next;
    if (i < end) current = finder.Longest(i);
  }
}

// ---- Best: cheapest path through each block under the current prices ------

struct BestSettings {
  size_t block;    // positions committed per parse; prices are refreshed between blocks
};

struct Step {
  uint16_t length;    // 1 for a literal
  uint16_t distance;  // 0 for a literal
};

// The matches of a run of consecutive positions, kept while a parse may
// still look at them: a parse sees up to F positions past what it commits.
class MatchWindow {
 public:
  explicit MatchWindow(TreeFinder& finder) : finder_(finder), base_(finder.Start()) { offsets_.push_back(0); }

  // Searches the positions up to (not including) stop that have not been searched.
  void FillTo(size_t stop) {
    Match found[MAX_MATCHES];
    for (size_t i = base_ + offsets_.size() - 1; i < stop; ++i) {
      int count = finder_.Find(i, found);
      matches_.insert(matches_.end(), found, found + count);
      offsets_.push_back(static_cast<uint32_t>(matches_.size()));
    }
  }
  // Forgets the positions before start.
  void DropBefore(size_t start) {
    size_t drop = start - base_;
    uint32_t first = offsets_[drop];
    matches_.erase(matches_.begin(), matches_.begin() + first);
    offsets_.erase(offsets_.begin(), offsets_.begin() + static_cast<ptrdiff_t>(drop));
    for (uint32_t& offset : offsets_) offset -= first;
    base_ = start;
  }
  std::span<const Match> At(size_t i) const {
    size_t j = i - base_;
    return {matches_.data() + offsets_[j], matches_.data() + offsets_[j + 1]};
  }

 private:
  TreeFinder& finder_;
  size_t base_;                    // the first position kept
  std::vector<Match> matches_;
  std::vector<uint32_t> offsets_;  // matches of base_ + j: [offsets_[j], offsets_[j + 1])
};

void EncodeBest(TreeFinder& finder, SymbolCoder& coder, const BestSettings& settings) {
  constexpr uint32_t kUnreached = UINT32_MAX;
  std::vector<uint32_t> cost(settings.block + F + 1);
  std::vector<Step> from(settings.block + F + 1);
  std::vector<Step> path;
  MatchWindow window(finder);
  SymbolPrices prices;
  const size_t end = finder.End();

  for (size_t start = finder.Start(); start < end;) {
    // Steps that start before stop are written; the parse looks F further so
    // that matches running across stop are priced whole.
    const size_t stop = std::min(start + settings.block, end);
    const size_t n = std::min(stop + F, end) - start;
    // Steps from positions past stop (as every step ending at the horizon
    // is, when the horizon is inside the input) are parsed again.
    const bool horizonInside = start + n < end;
    window.FillTo(start + n);
    coder.Prices(prices);
    std::fill(cost.begin(), cost.begin() + static_cast<ptrdiff_t>(n + 1), kUnreached);
    cost[0] = 0;
    for (size_t j = 0; j < n; ++j) {
      const size_t i = start + j;
      const uint32_t base = cost[j];
      const uint32_t literal = base + prices.Literal(finder.At(i));
      if (literal < cost[j + 1]) {
        cost[j + 1] = literal;
        from[j + 1] = Step{1, 0};
      }
      // Each length takes the nearest match that reaches it. A match that
      // runs past a horizon set by the block (not by the input's end) reaches
      // the horizon at its full price, so that the path is not bent to end
      // exactly there.
      const unsigned room = static_cast<unsigned>(std::min<size_t>(F, n - j));
      unsigned length = THRESHOLD + 1;
      for (const Match& match : window.At(i)) {
        const uint32_t position = base + PositionBits(match.distance);
        for (const unsigned longest = std::min<unsigned>(match.length, room); length <= longest; ++length) {
          const uint32_t total = position + prices.bits[MatchSymbol(static_cast<int>(length))];
          if (total < cost[j + length]) {
            cost[j + length] = total;
            from[j + length] = Step{static_cast<uint16_t>(length), match.distance};
          }
        }
        if (match.length > room) {
          const uint32_t whole = position + prices.bits[MatchSymbol(match.length)];
          if (horizonInside && whole < cost[n]) {
            cost[n] = whole;
            from[n] = Step{static_cast<uint16_t>(room), match.distance};
          }
          break;
        }
      }
    }
    path.clear();
    for (size_t j = n; j > 0; j -= from[j].length) path.push_back(from[j]);
    size_t i = start;
    for (auto step = path.rbegin(); step != path.rend() && i < stop; ++step) {
      if (step->length == 1) {
        coder.Literal(finder.At(i));
      } else {
        coder.Match(step->length, step->distance);
      }
      i += step->length;
    }
    window.DropBefore(i);
    start = i;
  }
}

}  // namespace

std::vector<uint8_t> EncodeStream(std::span<const uint8_t> input, Level level) {
  std::vector<uint8_t> out;
  if (input.empty()) return out;
  if (input.size() > UINT32_MAX) throw std::length_error("LZHUF input longer than its 32-bit length field");
  BitWriter bits(out);
  SymbolCoder coder(bits);
  if (level == Level::Best) {
    TreeFinder finder(input, 256);
    EncodeBest(finder, coder, BestSettings{4096});
  } else {
    ChainFinder finder(input, 16);
    EncodeFast(finder, coder, FastSettings{32, 512, 3 * kPriceScale});
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
