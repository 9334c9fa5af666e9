// The install sequence: from the script and the wizard to the closing
// question, and the clean-up step that moves the log into place.
#include "install/install.h"

#include "common/text.h"
#include "install/registration.h"
#include "install/shortcuts.h"
#include "payload/extract.h"
#include "script/families.h"
#include "script/profile.h"
#include "startup/state.h"
#include "ui/ui.h"

namespace {

// The default directory into WorkDir: the temporary path up to its first
// backslash, "Program Files\" and DefDir ("C:\WINDOWS\TEMP\" and "Tool"
// give "C:\Program Files\Tool").
void ComposeDefaultDirectory() {
  char folder[TEXT_SIZE];
  ReadScriptText(SECTION_INSTALL, "DefDir", folder, Setup.ScriptPath);
  // Without a temporary directory the drive of the system is taken instead.
  if (sys::TempPath(Setup.WorkDir, TEXT_SIZE) == 0) CopyText(Setup.WorkDir, TEXT_SIZE, "C:\\");
  int backslash = FindChar(Setup.WorkDir, '\\');
  if (backslash >= 0) {
    Setup.WorkDir[backslash + 1] = 0;
    AppendText(Setup.WorkDir, TEXT_SIZE, "Program Files\\");
  }
  AppendText(Setup.WorkDir, TEXT_SIZE, folder);
}

int ExtractProgramFiles() {
  int count = ProfileGetInt(SECTION_INSTALL, "FileNum", 0, Setup.ScriptPath);
  for (int i = 0; i < count; ++i) {
    char target[TEXT_SIZE];
    CopyText(target, Setup.InstallDir);
    int result = ExtractEntry(Setup.Instance, target, EXTRACT_INSTALL, Setup.ScriptPath);
    if (result != 1) return result;
  }
  return 1;
}

// Logs each "Install" DLL under the same letter in "Uninstall" and starts
// its registration.
void RegisterDlls() {
  FamilyKey dll;
  dll.Start("dll");
  char name[TEXT_SIZE];
  while (ReadScriptText(SECTION_INSTALL, dll.text, name, Setup.ScriptPath) > 0) {
    char path[TEXT_SIZE];
    CopyText(path, Setup.WorkDir);
    AppendText(path, "\\");
    AppendText(path, name);
    ProfileWriteString(SECTION_UNINSTALL, dll.text, path, Setup.ScriptPath);
    StartDllRegistration(Setup.WorkDir, name);
    if (!dll.Advance()) break;
  }
}

// Copies source over target and deletes the source; when the copy fails,
// moves it, replacing the target.
void MoveOver(const char* source, const char* target) {
  if (sys::CopyFileOver(source, target)) {
    sys::RemoveFile(source);
  } else {
    sys::MoveFileReplace(source, target);
  }
}

void InstallDirPath(const char* fileName, char* path) {
  CopyText(path, TEXT_SIZE, Setup.InstallDir);
  AppendText(path, TEXT_SIZE, "\\");
  AppendText(path, TEXT_SIZE, fileName);
}

// The licence and the log's own entry, the directory, and the uninstaller.
void PlaceLicenceAndLog(FamilyKey& fileKey) {
  char path[TEXT_SIZE];
  InstallDirPath(LICENSE_FILE_NAME, path);
  // The directory must exist for the licence and, later, the log to move
  // in, also when the payload has no program files.
  CreateDirectoriesAlong(path);
  MoveOver(Setup.LicensePath, path);
  WriteScriptValue(SECTION_UNINSTALL, fileKey.text, path, Setup.ScriptPath);
  fileKey.Advance();
  InstallDirPath(SCRIPT_FILE_NAME, path);
  WriteScriptValue(SECTION_UNINSTALL, fileKey.text, path, Setup.ScriptPath);
  fileKey.Advance();
  WriteScriptValue(SECTION_UNINSTALL, "dir", Setup.InstallDir, Setup.ScriptPath);

  sys::WindowsDir(path, VALUE_READ_SIZE);
  AppendText(path, TEXT_SIZE, "\\");
  AppendText(path, TEXT_SIZE, UNINSTALLER_NAME);
  ExtractEntry(Setup.Instance, path, EXTRACT_UNINSTALLER, Setup.ScriptPath);
}

void AskToRunApplication(sys::Window window) {
  char question[LINE_SIZE];
  CopyText(question, Setup.AppName);
  AppendText(question, " Setup is complete. If you need help getting started,\nclick the ");
  AppendText(question, Setup.AppName);
  AppendText(question, " Help menu item on your Start Menu.\n\nRun ");
  AppendText(question, Setup.AppName);
  AppendText(question, "?");
  if (sys::ShowMessage(window, question, "Setup Complete", sys::BOX_YESNO) == sys::ID_YES) Setup.RunAfterFinish = 1;
}

}  // namespace

int RunInstall(sys::Window window) {
  Setup.RunAfterFinish = 0;
  ComposeDefaultDirectory();
  ReadScriptText(SECTION_INSTALL, "AppName", Setup.AppName, Setup.ScriptPath);
  ReadScriptText(SECTION_INSTALL, "AppBy", Setup.AppBy, Setup.ScriptPath);
  CopyText(Setup.InstallDir, INSTALL_DIR_SIZE, Setup.WorkDir);
  CopyText(Setup.SetupTitle, TEXT_SIZE, Setup.AppName);
  AppendText(Setup.SetupTitle, TEXT_SIZE, " Setup");
  ShowSetupWindow(window, Setup.SetupTitle);

  // A wizard that could not even be created (-1) is no consent to install.
  if (RunWizard(window, Setup.Instance) <= 0) {
    sys::RemoveFile(Setup.ScriptPath);
    sys::RemoveFile(Setup.LicensePath);
    return 0;
  }
  if (ExtractProgramFiles() != 1) {
    sys::ShowMessage(window, "Setup Error!", "Setup Error!", sys::BOX_OK);
    return 0;
  }
  RegisterDlls();

  FamilyKey fileKey;
  fileKey.Start("file");
  ProbeFamily(fileKey, SECTION_UNINSTALL, Setup.ScriptPath, VALUE_READ_SIZE);
  PlaceLicenceAndLog(fileKey);
  RegisterProduct(false);
  ScheduleGroupConversion();
  RunShortcutPhase(fileKey);
  AskToRunApplication(window);
  return 1;
}

void MoveScriptToInstallDir(const char* dir) {
  char target[TEXT_SIZE];
  CopyText(target, dir);
  AppendText(target, "\\");
  AppendText(target, SCRIPT_FILE_NAME);
  MoveOver(Setup.ScriptPath, target);
  CopyText(Setup.ScriptPath, TEXT_SIZE, target);
}

void StartApplicationIfAsked() {
  if (Setup.RunAfterFinish == 0 || Setup.RunTarget[0] == 0) return;
  // A path with a blank is quoted, so the system cannot start a program
  // named by its first word instead.
  char command[LINE_SIZE];
  bool quote = FindChar(Setup.RunTarget, ' ') >= 0;
  CopyText(command, quote ? "\"" : "");
  AppendText(command, Setup.RunTarget);
  AppendText(command, quote ? "\"" : "");
  sys::Exec(command, sys::SHOW_NORMAL);
}
