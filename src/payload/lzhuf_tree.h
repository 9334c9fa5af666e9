// The adaptive Huffman tree of LZHUF, the same for the decoder and the
// encoder: symbols are leaves, frequencies stay in sibling order, and every
// coded symbol increments its path to the root. When the root's frequency
// reaches MAX_FREQ all frequencies are halved and the tree is rebuilt.
#pragma once

#include <cstdint>

#include "payload/lzhuf.h"

namespace lzhuf {

struct HuffTree {
  uint16_t freq[T + 1];   // node frequencies; freq[T] is a 0xFFFF sentinel
  int16_t prnt[T + N_CHAR];  // parents; prnt[T + s] is the leaf of symbol s
  int16_t son[T];         // first child of an inner node, T + symbol for a leaf

  // The initial tree: every symbol with frequency 1, inner nodes paired in order.
  void Start();
  // Counts one more occurrence of symbol and restores the sibling order.
  void Update(int symbol);

 private:
  void Reconst();
};

}  // namespace lzhuf
