// SetupState: the one program-wide record of handles, texts and flags.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "platform/platform.h"

inline constexpr char UNINSTALLER_NAME[] = "Qxunins3.exe";
inline constexpr char SCRIPT_FILE_NAME[] = "Uninstal.inf";
inline constexpr char LICENSE_FILE_NAME[] = "License.txt";
static_assert(sizeof(UNINSTALLER_NAME) - 1 == 12);

struct SetupState {
  sys::Instance Instance;
  char InstallDir[INSTALL_DIR_SIZE];  // without a trailing backslash
  // Eight 256-byte texts taken from the heap at start-up, in this order.
  char* WorkDir;
  char* AppName;
  char* AppBy;
  char* ScratchText;
  char* SetupTitle;
  char* ScriptPath;
  char* LicensePath;
  char* RunTarget;
  int RunAfterFinish;
  int LicenseAccepted;
  uint32_t PayloadCursor;
};

extern SetupState Setup;

// Takes the eight texts (empty) in their order; false when memory ran out,
// in which case nothing is held.
bool TakeStateTexts();
// Releases the eight texts and clears the record for another run.
void ReleaseStateTexts();
