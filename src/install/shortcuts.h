// The program group with one shortcut per link, the desktop and Quick
// Launch offers for the first link, and the shell folders the uninstaller
// looks in.
#pragma once

#include "script/families.h"

// Creates the group folder and the shortcuts, logging each under the next
// letter of the shared `file` key; sets RunTarget to the first link's target.
void RunShortcutPhase(FamilyKey& fileKey);

// The shell folder's path with suffix and name appended into path (256
// bytes); false when the folder cannot be found, and then nothing is built.
bool ShellFolderPath(int folder, bool create, const char* suffix, const char* name, char* path);

inline constexpr char QUICK_LAUNCH_SUFFIX[] = "\\Microsoft\\Internet Explorer\\Quick Launch\\";
