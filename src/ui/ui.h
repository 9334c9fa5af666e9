// The user-interface entry points the engine calls. The Win32 build
// implements them with real windows (src/ui/); the host build answers them
// from the sandbox's script (src/platform/host/ui_host.cpp), so the install
// sequence runs unchanged on both.
#pragma once

#include "platform/platform.h"

// Registers the background window's class and creates the window; its
// creation queues the start command that runs the install sequence.
// 1 when the window exists.
int CreateBackgroundWindow(sys::Instance instance, int showCommand);

// Runs the message loop until the quit message; returns its exit code.
int RunMessageLoop();

// The three-page wizard over the background window: positive after Finish,
// 0 after Cancel. Leaves the chosen directory in InstallDir and WorkDir.
int RunWizard(sys::Window parent, sys::Instance instance);

// The install sequence's calls on the background window: its text, then a
// maximised show and an immediate repaint.
void ShowSetupWindow(sys::Window window, const char* title);
