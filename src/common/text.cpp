#include "common/text.h"

unsigned TextLength(const char* s) {
  unsigned n = 0;
  while (s[n] != 0) ++n;
  return n;
}

unsigned CopyText(char* dst, unsigned size, const char* src) {
  if (size == 0) return 0;
  dst[0] = 0;
  return AppendText(dst, size, src);
}

unsigned AppendChars(char* dst, unsigned size, const char* src, unsigned n) {
  if (size == 0) return 0;
  unsigned len = TextLength(dst);
  unsigned i = 0;
  while (i < n && src[i] != 0 && len + 1 < size) dst[len++] = src[i++];
  dst[len] = 0;
  return len;
}

unsigned AppendText(char* dst, unsigned size, const char* src) {
  return AppendChars(dst, size, src, ~0u);
}

unsigned AppendChar(char* dst, unsigned size, char c) {
  char piece[2] = {c, 0};
  return AppendChars(dst, size, piece, 1);
}

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCaseN(const char* a, const char* b, unsigned n) {
  for (unsigned i = 0; i < n; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    if (a[i] == 0) return true;
  }
  return true;
}

bool EqualNoCase(const char* a, const char* b) {
  return EqualNoCaseN(a, b, ~0u);
}

bool EndsWithNoCase(const char* s, const char* tail) {
  unsigned ls = TextLength(s), lt = TextLength(tail);
  return ls >= lt && EqualNoCaseN(s + (ls - lt), tail, lt);
}

int FindChar(const char* s, char c) {
  for (int i = 0; s[i] != 0; ++i)
    if (s[i] == c) return i;
  return -1;
}

int FindLastChar(const char* s, char c) {
  int found = -1;
  for (int i = 0; s[i] != 0; ++i)
    if (s[i] == c) found = i;
  return found;
}

bool ContainsText(const char* s, const char* needle) {
  unsigned n = TextLength(needle);
  for (; *s != 0; ++s) {
    unsigned i = 0;
    while (i < n && s[i] == needle[i]) ++i;
    if (i == n) return true;
  }
  return n == 0;
}

void FormatUnsigned(char* dst, unsigned value) {
  char digits[11];
  unsigned n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (unsigned i = 0; i < n; ++i) dst[i] = digits[n - 1 - i];
  dst[n] = 0;
}

void FillBytes(void* dst, unsigned char value, unsigned n) {
  auto* p = static_cast<unsigned char*>(dst);
  for (unsigned i = 0; i < n; ++i) p[i] = value;
}

void CopyBytes(void* dst, const void* src, unsigned n) {
  auto* d = static_cast<unsigned char*>(dst);
  const auto* s = static_cast<const unsigned char*>(src);
  for (unsigned i = 0; i < n; ++i) d[i] = s[i];
}
