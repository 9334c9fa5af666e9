// Lettered key families: a key prefix followed by one letter byte that
// starts at 'a' and is advanced in place ("filea", "fileb", ...; after 'z'
// come '{', '|', '}', '~' and the following bytes, up to 0xFF).
#pragma once

#include "common/text.h"

inline constexpr char SECTION_INSTALL[] = "Install";
inline constexpr char SECTION_LINKS[] = "Links";
inline constexpr char SECTION_COPYMODE[] = "Copymode";
inline constexpr char SECTION_UNINSTALL[] = "Uninstall";

struct FamilyKey {
  char text[16];
  unsigned letterAt;

  // Sets the key text to prefix + 'a'.
  void Start(const char* prefix);
  // Moves to the next letter; false at the last letter byte, 0xFF, which
  // bounds every family.
  bool Advance();
  unsigned char Letter() const { return static_cast<unsigned char>(text[letterAt]); }
};

// Reads a value with the size every script text read uses (at most 254
// characters arrive in a 256-byte buffer); returns the count.
unsigned ReadScriptText(const char* section, const char* key, char* buffer, const char* path);

// Probes the family from 'a' to the first key whose read returns no
// characters, reading with readSize; the key is left on that letter. The
// value read is thrown away: only the count matters.
void ProbeFamily(FamilyKey& key, const char* section, const char* path, unsigned readSize);

// Writes one key of the script and flushes the service's copy of the file.
void WriteScriptValue(const char* section, const char* key, const char* value, const char* path);
