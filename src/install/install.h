// The install sequence and its clean-up step.
#pragma once

#include "platform/platform.h"

// The whole installation, run from the background window's start command:
// 1 after a complete installation, 0 when the wizard was cancelled or a
// program file failed.
int RunInstall(sys::Window window);

// Moves the script (by now the uninstall log) into dir as "Uninstal.inf"
// and points ScriptPath there, whether or not the move succeeded.
void MoveScriptToInstallDir(const char* dir);

// Starts RunTarget when the user asked for it at the closing question.
void StartApplicationIfAsked();
