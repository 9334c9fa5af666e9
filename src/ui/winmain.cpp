#include <windows.h>

#include "startup/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return ProgramMain(reinterpret_cast<sys::Instance>(instance), GetCommandLineA(), showCommand);
}
