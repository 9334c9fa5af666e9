#include "install/install.h"

int RunInstall(sys::Window) { return 0; }
void MoveScriptToInstallDir(const char*) {}
void StartApplicationIfAsked() {}
