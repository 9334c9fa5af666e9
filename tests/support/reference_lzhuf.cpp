#include "reference_lzhuf.h"

#include <algorithm>

namespace reference {
namespace {

constexpr int kN = 4096, kF = 60, kNChar = 314, kT = 627, kR = 626;
constexpr unsigned kMaxFreq = 0x8000;

struct Decoder {
  const std::vector<uint8_t>& stream;
  size_t position = 0;
  unsigned getbuf = 0;  // kept to 16 bits
  unsigned getlen = 0;
  std::vector<unsigned> freq = std::vector<unsigned>(kT + 1);
  std::vector<int> prnt = std::vector<int>(kT + kNChar);
  std::vector<int> son = std::vector<int>(kT);
  std::vector<int> dCode = std::vector<int>(256);
  std::vector<int> dLen = std::vector<int>(256);

  explicit Decoder(const std::vector<uint8_t>& s) : stream(s) {
    // Rows: first byte values per upper value, and the code length.
    int byte = 0, upper = 0;
    auto row = [&](int values, int width, int bits) {
      for (int v = 0; v < values; ++v, ++upper)
        for (int k = 0; k < width; ++k, ++byte) {
          dCode[byte] = upper;
          dLen[byte] = bits;
        }
    };
    row(1, 32, 3);
    row(3, 16, 4);
    row(8, 8, 5);
    row(12, 4, 6);
    row(24, 2, 7);
    row(16, 1, 8);
  }

  void Refill() {
    while (getlen <= 8) {
      unsigned b = position < stream.size() ? stream[position++] : 0;
      getbuf = (getbuf | (b << (8 - getlen))) & 0xFFFF;
      getlen += 8;
    }
  }
  unsigned GetBit() {
    Refill();
    unsigned bit = (getbuf >> 15) & 1;
    getbuf = (getbuf << 1) & 0xFFFF;
    getlen -= 1;
    return bit;
  }
  unsigned GetByte() {
    Refill();
    unsigned byte = (getbuf >> 8) & 0xFF;
    getbuf = (getbuf << 8) & 0xFFFF;
    getlen -= 8;
    return byte;
  }

  void StartHuff() {
    for (int s = 0; s < kNChar; ++s) {
      freq[s] = 1;
      son[s] = s + kT;
      prnt[s + kT] = s;
    }
    int i = 0;
    for (int j = kNChar; j < kT; ++j) {
      freq[j] = freq[i] + freq[i + 1];
      son[j] = i;
      prnt[i] = j;
      prnt[i + 1] = j;
      i += 2;
    }
    freq[kT] = 0xFFFF;
    prnt[kR] = 0;
  }

  void Reconst() {
    int j = 0;
    for (int i = 0; i < kT; ++i) {
      if (son[i] >= kT) {
        freq[j] = (freq[i] + 1) / 2;
        son[j] = son[i];
        j++;
      }
    }
    int i = 0;
    for (j = kNChar; j < kT; ++j) {
      unsigned f = freq[i] + freq[i + 1];
      int k = j - 1;
      while (f < freq[k]) k--;
      k++;
      std::copy_backward(freq.begin() + k, freq.begin() + j, freq.begin() + j + 1);
      std::copy_backward(son.begin() + k, son.begin() + j, son.begin() + j + 1);
      freq[k] = f;
      son[k] = i;
      i += 2;
    }
    for (i = 0; i < kT; ++i) {
      int k = son[i];
      prnt[k] = i;
      if (k < kT) prnt[k + 1] = i;
    }
  }

  void Update(int s) {
    if (freq[kR] == kMaxFreq) Reconst();
    int current = prnt[s + kT];
    while (true) {
      freq[current] += 1;
      unsigned k = freq[current];
      if (k > freq[current + 1]) {
        int l = current + 1;
        while (k > freq[l + 1]) l++;
        freq[current] = freq[l];
        freq[l] = k;
        int i = son[current];
        prnt[i] = l;
        if (i < kT) prnt[i + 1] = l;
        int j = son[l];
        son[l] = i;
        prnt[j] = current;
        if (j < kT) prnt[j + 1] = current;
        son[current] = j;
        current = l;
      }
      current = prnt[current];
      if (current == 0) break;
    }
  }

  int DecodeChar() {
    int x = son[kR];
    while (x < kT) x = son[x + static_cast<int>(GetBit())];
    int s = x - kT;
    Update(s);
    return s;
  }

  int DecodePosition() {
    unsigned i = GetByte();
    int upper = dCode[i];
    int n = dLen[i] - 2;
    for (int k = 0; k < n; ++k) i = i * 2 + GetBit();
    return upper * 64 + static_cast<int>(i % 64);
  }
};

}  // namespace

std::vector<uint8_t> DecodeLzhuf(const std::vector<uint8_t>& stream, uint32_t declaredLength) {
  return DecodeLzhufTraced(stream, declaredLength).bytes;
}

TracedDecode DecodeLzhufTraced(const std::vector<uint8_t>& stream, uint32_t declaredLength) {
  TracedDecode result;
  std::vector<uint8_t>& out = result.bytes;
  if (declaredLength == 0) return result;
  Decoder d(stream);
  d.StartHuff();
  std::vector<uint8_t> ring(kN, 0);
  std::fill(ring.begin(), ring.begin() + (kN - kF), ' ');
  std::vector<bool> written(kN, false);
  std::fill(written.begin(), written.begin() + (kN - kF), true);
  int r = kN - kF;
  auto put = [&](uint8_t b) {
    out.push_back(b);
    ring[r] = b;
    written[r] = true;
    r = (r + 1) % kN;
  };
  uint64_t count = 0;
  while (count < declaredLength) {
    int s = d.DecodeChar();
    if (s < 256) {
      put(static_cast<uint8_t>(s));
      count += 1;
    } else {
      int p = d.DecodePosition();
      int i = ((r - p - 1) % kN + kN) % kN;
      int len = s - 253;
      count += static_cast<uint64_t>(len);
      for (int k = 0; k < len; ++k) {
        if (!written[(i + k) % kN]) result.readUnwritten = true;
        put(ring[(i + k) % kN]);
      }
    }
  }
  return result;
}

}  // namespace reference
