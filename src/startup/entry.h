#pragma once

#include "platform/platform.h"

// The program's entry on both builds: decides the mode from the program's own
// file name and runs the installation or the uninstallation. commandLine is
// the full command line, program name first. The result is the exit code,
// 0 on every path.
int ProgramMain(sys::Instance instance, const char* commandLine, int showCommand);
