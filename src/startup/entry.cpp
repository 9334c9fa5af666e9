#include "startup/entry.h"

#include "common/text.h"
#include "payload/extract.h"
#include "script/profile.h"
#include "startup/command_tail.h"
#include "startup/state.h"
#include "ui/ui.h"
#include "uninstall/uninstall.h"

namespace {

int RunInstallMode(sys::Instance instance, char* pathText, int showCommand) {
  Setup.Instance = instance;
  sys::TempPath(pathText, TEXT_SIZE);
  CopyText(Setup.ScriptPath, TEXT_SIZE, pathText);
  AppendText(Setup.ScriptPath, TEXT_SIZE, SCRIPT_FILE_NAME);
  CopyText(Setup.LicensePath, TEXT_SIZE, pathText);
  AppendText(Setup.LicensePath, TEXT_SIZE, LICENSE_FILE_NAME);

  if (ExtractEntry(Setup.Instance, Setup.ScriptPath, EXTRACT_FIRST, Setup.ScriptPath) == 0) return 0;
  if (ExtractEntry(Setup.Instance, Setup.LicensePath, EXTRACT_NEXT, Setup.ScriptPath) == 0) return 0;
  if (CreateBackgroundWindow(instance, showCommand) == 0) return 0;
  return RunMessageLoop();
}

void RunUninstallMode(const char* commandLine) {
  const char* tail = CommandTail(commandLine);
  // The log's path must fit ScriptPath whole; a cut path would name another file.
  if (TextLength(tail) >= TEXT_SIZE) {
    ShowUninstallError();
    return;
  }
  CopyText(Setup.ScriptPath, TEXT_SIZE, tail);
  if (RunUninstall() == 1) ShowUninstallReport();
}

}  // namespace

int ProgramMain(sys::Instance instance, const char* commandLine, int showCommand) {
  char pathText[TEXT_SIZE];
  unsigned length = sys::ModulePath(instance, pathText, TEXT_SIZE);
  if (length >= TEXT_SIZE) length = TEXT_SIZE - 1;
  pathText[length] = 0;
  if (!TakeStateTexts()) return 0;

  int exitCode = 0;
  if (IsUninstallerPath(pathText)) {
    RunUninstallMode(commandLine);
  } else {
    exitCode = RunInstallMode(instance, pathText, showCommand);
  }
  ProfileClose();
  ReleaseStateTexts();
  return exitCode;
}
