// The user interface on the host: the background window is a journal entry,
// its message loop delivers the start command and the clean-up timer at
// once, and the wizard is answered from the sandbox's script.
#include "install/install.h"
#include "platform/host/sandbox.h"
#include "startup/state.h"
#include "ui/ui.h"

namespace {

// Stands for the background window as owner of the wizard and its boxes.
sys::Window BackgroundWindow() {
  static int token = 0;
  return reinterpret_cast<sys::Window>(&token);
}

}  // namespace

int CreateBackgroundWindow(sys::Instance, int) {
  host::Sandbox& box = host::Current();
  box.Note(std::string("CreateWindowExA \"Install\" -> ") + (box.failWindow ? "0" : "1"));
  return box.failWindow ? 0 : 1;
}

int RunMessageLoop() {
  host::Sandbox& box = host::Current();
  if (RunInstall(BackgroundWindow()) == 0) return 0;
  box.Note("SetWindowTextA \"Setup is cleaning up...\"");
  box.Note("SetTimer 1 10000");
  MoveScriptToInstallDir(Setup.InstallDir);
  StartApplicationIfAsked();
  return 0;
}

int RunWizard(sys::Window, sys::Instance) {
  host::Sandbox& box = host::Current();
  const std::string proposed = "PropertySheetA " + host::Quote(Setup.InstallDir);
  if (box.wizard.cancel) {
    box.Note(proposed + " -> 0 (Cancel)");
    return 0;
  }
  // The licence dialog shows the extracted licence before it can be accepted.
  sys::File licence = sys::OpenRead(Setup.LicensePath);
  if (licence == nullptr) {
    sys::ShowMessage(nullptr, "Error accessing License.txt", "Setup Error", sys::BOX_OK);
    box.Note(proposed + " -> 0 (no licence)");
    return 0;
  }
  sys::Close(licence);
  Setup.LicenseAccepted = 1;
  if (box.wizard.directory) CopyText(Setup.InstallDir, INSTALL_DIR_SIZE, box.wizard.directory->c_str());
  CopyText(Setup.WorkDir, TEXT_SIZE, Setup.InstallDir);
  AppendText(Setup.SetupTitle, TEXT_SIZE, " is ready to finish the installation.");
  box.Note(proposed + " -> 1 (Finish) " + host::Quote(Setup.InstallDir));
  return 1;
}

void ShowSetupWindow(sys::Window, const char* title) {
  host::Sandbox& box = host::Current();
  box.Note("SetWindowTextA " + host::Quote(title));
  box.Note("ShowWindow 3");
}
