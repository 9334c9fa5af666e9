// The private-profile (INI) service, our own on both builds.
//
// It holds one file's text in memory at a time, the way the system's service
// caches the file it works on:
//   - section and key names match without regard to letter case; blanks
//     around names and values are trimmed and one pair of matching outer
//     quotes is stripped when a value is read; the first of duplicate
//     sections or keys wins;
//   - a read sees every earlier write to the same path, flushed or not;
//   - ProfileFlush writes the held text to the file, CR LF line ends kept;
//   - a missing file, section or key and an empty value all read as 0
//     characters; integer reads give the default for both;
//   - the text stays served after the file itself is deleted, until another
//     path is used or the process ends.
#pragma once

// GetPrivateProfileStringA with the empty default: copies the value cut to
// size - 1 characters and returns the number copied.
unsigned ProfileGetString(const char* section, const char* key, char* buffer, unsigned size, const char* path);

// GetPrivateProfileIntA: the value's leading decimal number, 0 when it has
// none, or the default when the key is missing or empty.
int ProfileGetInt(const char* section, const char* key, int defaultValue, const char* path);

// WritePrivateProfileStringA: sets the key, creating the section and the
// key as needed. The file changes at the next flush.
void ProfileWriteString(const char* section, const char* key, const char* value, const char* path);

// WritePrivateProfileStringA(NULL, NULL, NULL, path): writes out what is
// held unwritten for path.
void ProfileFlush(const char* path);

// The end of the process: writes out what is unwritten, then forgets it.
void ProfileClose();
// Forgets the held text without writing it.
void ProfileDiscard();
