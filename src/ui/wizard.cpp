// The setup wizard. Until its pages are built this is one question that
// names the application, the licence file and the directory; Yes stands for
// Next, Accept, the proposed directory and Finish.
#include <windows.h>

#include "common/text.h"
#include "startup/state.h"
#include "ui/ui.h"

int RunWizard(sys::Window parent, sys::Instance) {
  char text[LINE_SIZE];
  CopyText(text, "Install ");
  AppendText(text, Setup.AppName);
  AppendText(text, " into\n");
  AppendText(text, Setup.InstallDir);
  AppendText(text, "?\n\nYes accepts the licence agreement in\n");
  AppendText(text, Setup.LicensePath);
  if (MessageBoxA(reinterpret_cast<HWND>(parent), text, Setup.SetupTitle, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return 0;
  }
  Setup.LicenseAccepted = 1;
  CopyText(Setup.WorkDir, TEXT_SIZE, Setup.InstallDir);
  AppendText(Setup.SetupTitle, TEXT_SIZE, " is ready to finish the installation.");
  return 1;
}
