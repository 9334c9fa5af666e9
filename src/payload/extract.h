// ExtractEntry: turns the payload record at the cursor into a file, and
// places the uninstaller copy.
#pragma once

#include <cstdint>

#include "payload/record.h"
#include "platform/platform.h"

enum ExtractMode {
  EXTRACT_FIRST = 0,        // rewind to the first record and write it to targetPath
  EXTRACT_NEXT = 1,         // write the record at the cursor to targetPath
  EXTRACT_INSTALL = 6,      // an application file below the directory in targetPath, logged
  EXTRACT_UNINSTALLER = 7,  // copy the program without payload to targetPath
};

// 1 when a record was written or skipped by its copy mode, or the uninstaller
// step ended; 0 when there is no further record or it cannot be read or
// written. targetPath is a 256-byte buffer; EXTRACT_INSTALL extends it in
// place from the installation directory to the file's full path.
int ExtractEntry(sys::Instance instance, char* targetPath, int mode, const char* scriptPath);

// ---- Shared steps, also used by the installation's own modes ----

// The program's size without payload, from its own PE headers; 0 when the
// file is not a PE image.
uint32_t StubSize(sys::File ownFile);

// Creates every directory along path: each prefix that ends just before a
// backslash, shortest first. Results are ignored.
void CreateDirectoriesAlong(const char* path);

// Clears the read-only attribute of an existing file so it can be replaced
// or deleted.
void MakeWritable(const char* path);

// ---- The installation's steps (install/extract_install.cpp) ----

enum class InstallTarget { Write, Skip, Refuse };

// Settles the destination of an application record: composes it into
// targetPath, writes the log entries and applies the copy mode.
InstallTarget SettleInstallTarget(const payload::RecordView& record, char* targetPath, const char* scriptPath);

// Copies the first stubSize bytes of the program's own file to targetPath,
// unless a larger file is already there. Always 1.
int CopyUninstaller(sys::File ownFile, uint32_t stubSize, const char* targetPath);
