// Bounded text helpers for the fixed buffers of the program.
//
// Every text is a single-byte string with a terminating zero in a buffer of
// known size. The helpers never write past the buffer: a text that does not
// fit is cut at the buffer's end and still terminated. Composed texts are
// joined piece by piece with CopyText and AppendText.
#pragma once

#include <cstddef>

// Buffer sizes used throughout the program.
inline constexpr unsigned TEXT_SIZE = 256;        // paths, script values, registry texts
inline constexpr unsigned INSTALL_DIR_SIZE = 260; // SetupState::InstallDir
inline constexpr unsigned LINE_SIZE = 512;        // command lines, composed messages
inline constexpr unsigned VALUE_READ_SIZE = 255;  // size handed to every script text read
inline constexpr unsigned PROBE_READ_SIZE = 63;   // size of the per-record family probes

unsigned TextLength(const char* s);

// dst := src, cut to size - 1 characters. Returns the length written.
unsigned CopyText(char* dst, unsigned size, const char* src);
// dst := dst + src, cut at the buffer's end. Returns the new length.
unsigned AppendText(char* dst, unsigned size, const char* src);
// dst := dst + the first n bytes of src (or fewer at a zero), cut likewise.
unsigned AppendChars(char* dst, unsigned size, const char* src, unsigned n);
// dst := dst + one character, unless the buffer is full.
unsigned AppendChar(char* dst, unsigned size, char c);

// ASCII case folding: the file, key and section names the program compares
// are ASCII, and for equality this agrees with the system's comparison.
char FoldCase(char c);
bool EqualNoCase(const char* a, const char* b);
bool EqualNoCaseN(const char* a, const char* b, unsigned n);
// True when the last characters of s equal tail, ignoring case.
bool EndsWithNoCase(const char* s, const char* tail);

// Index of the first / last occurrence of c in s, or -1.
int FindChar(const char* s, char c);
int FindLastChar(const char* s, char c);
bool ContainsText(const char* s, const char* needle);

// Decimal text of an unsigned number into dst (at least 11 bytes).
void FormatUnsigned(char* dst, unsigned value);

// Array-size conveniences for fixed buffers declared in place.
template <unsigned N> unsigned CopyText(char (&dst)[N], const char* src) { return CopyText(dst, N, src); }
template <unsigned N> unsigned AppendText(char (&dst)[N], const char* src) { return AppendText(dst, N, src); }

void FillBytes(void* dst, unsigned char value, unsigned n);
void CopyBytes(void* dst, const void* src, unsigned n);
