// The stub's start: no C runtime start-up code is linked (it would add a
// third to the program's size), so the entry point fetches what the runtime
// would hand to WinMain and ends the process with its result. The program
// has no static constructors that the runtime would otherwise run.
#include <windows.h>

#include "startup/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return ProgramMain(reinterpret_cast<sys::Instance>(instance), GetCommandLineA(), showCommand);
}

extern "C" void WINAPI StubEntry() {
  STARTUPINFOA startup;
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ExitProcess(static_cast<UINT>(WinMain(instance, nullptr, GetCommandLineA(), show)));
}
