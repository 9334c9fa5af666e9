// LZHUF: LZSS over a 4096-byte ring with adaptive Huffman coding of the
// symbols and a fixed prefix code for the upper six bits of match positions,
// with the parameters and tables of the published 1988 program.
//
// This header holds what the decoder and the encoder share: the constants and
// the position tables. Neither codec includes the other.
#pragma once

#include <cstdint>

namespace lzhuf {

inline constexpr int N = 4096;          // ring size
inline constexpr int F = 60;            // longest match
inline constexpr int THRESHOLD = 2;     // matches are at least THRESHOLD + 1 bytes
inline constexpr int N_CHAR = 256 - THRESHOLD + F;  // literals 0-255, lengths 3-60
inline constexpr int T = N_CHAR * 2 - 1;            // nodes of the code tree
inline constexpr int R = T - 1;                     // root node
inline constexpr unsigned MAX_FREQ = 0x8000;        // root frequency that forces a rebuild
inline constexpr int RING_START = N - F;            // first write position; ring[0..RING_START) are spaces

static_assert(N_CHAR == 314 && T == 627 && R == 626 && RING_START == 4036);

// Symbol of a match of length len (3..60), and back.
inline constexpr int MatchSymbol(int len) { return len + 255 - THRESHOLD; }
inline constexpr int MatchLength(int symbol) { return symbol - 255 + THRESHOLD; }
static_assert(MatchSymbol(3) == 256 && MatchSymbol(60) == 313 && MatchLength(313) == 60);

// The position tables. The first byte of an encoded position indexes both:
// d_code gives the upper six bits of the position, d_len the length in bits
// of that first part's code (the decoder then reads d_len - 2 more bits).
struct PositionTables {
  uint8_t d_code[256];
  uint8_t d_len[256];
};

// Rows of the table: (first byte, number of upper values, bytes per value, code length).
constexpr PositionTables MakePositionTables() {
  PositionTables t{};
  struct Row { int first, values, width, bits; };
  constexpr Row rows[] = {{0x00, 1, 32, 3}, {0x20, 3, 16, 4}, {0x50, 8, 8, 5},
                          {0x90, 12, 4, 6}, {0xC0, 24, 2, 7}, {0xF0, 16, 1, 8}};
  int upper = 0;
  for (const Row& row : rows) {
    for (int v = 0; v < row.values; ++v, ++upper) {
      for (int k = 0; k < row.width; ++k) {
        int byte = row.first + v * row.width + k;
        t.d_code[byte] = static_cast<uint8_t>(upper);
        t.d_len[byte] = static_cast<uint8_t>(row.bits);
      }
    }
  }
  return t;
}

inline constexpr PositionTables POSITION_TABLES = MakePositionTables();

static_assert(POSITION_TABLES.d_code[0x1F] == 0 && POSITION_TABLES.d_len[0x1F] == 3);
static_assert(POSITION_TABLES.d_code[0x20] == 1 && POSITION_TABLES.d_code[0x4F] == 3);
static_assert(POSITION_TABLES.d_code[0x57] == 4 && POSITION_TABLES.d_code[0x58] == 5);
static_assert(POSITION_TABLES.d_code[0x90] == 12 && POSITION_TABLES.d_len[0xBF] == 6);
static_assert(POSITION_TABLES.d_code[0xC0] == 24 && POSITION_TABLES.d_code[0xEF] == 47);
static_assert(POSITION_TABLES.d_code[0xF0] == 48 && POSITION_TABLES.d_code[0xFF] == 63);
static_assert(POSITION_TABLES.d_len[0xFF] == 8);

}  // namespace lzhuf
