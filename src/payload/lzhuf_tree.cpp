#include "payload/lzhuf_tree.h"

namespace lzhuf {

void HuffTree::Start() {
  for (int i = 0; i < N_CHAR; ++i) {
    freq[i] = 1;
    son[i] = static_cast<int16_t>(i + T);
    prnt[i + T] = static_cast<int16_t>(i);
  }
  for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
    freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
    son[j] = static_cast<int16_t>(i);
    prnt[i] = prnt[i + 1] = static_cast<int16_t>(j);
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

// Halves every leaf frequency and rebuilds the inner nodes in sibling order.
void HuffTree::Reconst() {
  int j = 0;
  for (int i = 0; i < T; ++i) {
    if (son[i] >= T) {
      freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
      son[j] = son[i];
      ++j;
    }
  }
  for (int i = 0, n = N_CHAR; n < T; i += 2, ++n) {
    unsigned f = static_cast<unsigned>(freq[i]) + freq[i + 1];
    int k = n - 1;
    while (f < freq[k]) --k;
    ++k;
    for (int m = n; m > k; --m) {
      freq[m] = freq[m - 1];
      son[m] = son[m - 1];
    }
    freq[k] = static_cast<uint16_t>(f);
    son[k] = static_cast<int16_t>(i);
  }
  for (int i = 0; i < T; ++i) {
    int k = son[i];
    prnt[k] = static_cast<int16_t>(i);
    if (k < T) prnt[k + 1] = static_cast<int16_t>(i);
  }
}

void HuffTree::Update(int symbol) {
  if (freq[R] == MAX_FREQ) Reconst();
  int c = prnt[symbol + T];
  do {
    unsigned k = ++freq[c];
    if (k > freq[c + 1]) {
      int l = c + 1;
      while (k > freq[l + 1]) ++l;
      freq[c] = freq[l];
      freq[l] = static_cast<uint16_t>(k);

      int i = son[c];
      prnt[i] = static_cast<int16_t>(l);
      if (i < T) prnt[i + 1] = static_cast<int16_t>(l);

      int j = son[l];
      son[l] = static_cast<int16_t>(i);
      prnt[j] = static_cast<int16_t>(c);
      if (j < T) prnt[j + 1] = static_cast<int16_t>(c);
      son[c] = static_cast<int16_t>(j);

      c = l;
    }
    c = prnt[c];
  } while (c != 0);
}

}  // namespace lzhuf
