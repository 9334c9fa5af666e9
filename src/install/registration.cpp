#include "install/registration.h"

#include "common/text.h"
#include "platform/platform.h"
#include "script/families.h"
#include "startup/state.h"

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kRegsvr32[] = "regsvr32 ";

}  // namespace

int SetRegistryValue(const char* keyPath, const char* name, const char* text, bool remove) {
  sys::Key key = sys::RegCreate(keyPath);
  if (key == nullptr) return 1;
  if (remove) {
    sys::RegDeleteSubkey(key, name);
  } else {
    sys::RegSetText(key, name, text);
  }
  sys::RegClose(key);
  return 1;
}

void RegisterProduct(bool remove) {
  char keyPath[TEXT_SIZE];
  char data[TEXT_SIZE];
  if (remove) {
    SetRegistryValue(kUninstallKey, Setup.AppName, "", true);
    char company[TEXT_SIZE];
    ReadScriptText(SECTION_INSTALL, "CompReg", company, Setup.ScriptPath);
    CopyText(keyPath, "Software\\");
    AppendText(keyPath, company);
    AppendText(keyPath, "\\");
    AppendText(keyPath, Setup.AppName);
    SetRegistryValue(keyPath, "settings", "", true);
    SetRegistryValue(keyPath, "Recent File List", "", true);
    return;
  }
  CopyText(keyPath, kUninstallKey);
  AppendText(keyPath, Setup.AppName);

  char version[TEXT_SIZE];
  ReadScriptText(SECTION_INSTALL, "VerNum", version, Setup.ScriptPath);
  CopyText(data, Setup.AppName);
  AppendText(data, " - ");
  AppendText(data, version);
  SetRegistryValue(keyPath, "DisplayName", data, false);

  sys::WindowsDir(data, VALUE_READ_SIZE);
  AppendText(data, "\\");
  AppendText(data, UNINSTALLER_NAME);
  AppendText(data, " ");
  AppendText(data, Setup.InstallDir);
  AppendText(data, "\\");
  AppendText(data, SCRIPT_FILE_NAME);
  SetRegistryValue(keyPath, "UninstallString", data, false);
}

void ScheduleGroupConversion() {
  sys::Key runOnce = sys::RegOpen(nullptr, kRunOnceKey, false);
  if (runOnce == nullptr) return;
  sys::Key setupKey = sys::RegOpen(runOnce, "Setup", true);
  if (setupKey != nullptr) {
    sys::RegClose(setupKey);
    sys::RegSetText(runOnce, "Wrapper", "runonce");
  }
  sys::RegSetText(runOnce, "GrpConv", "grpconv -o");
  sys::RegFlush(runOnce);
  sys::RegClose(runOnce);
  sys::Exec("runonce -r", sys::SHOW_NORMAL);
}

void StartDllRegistration(const char* dir, const char* dllName) {
  char command[LINE_SIZE];
  CopyText(command, kRegsvr32);
  AppendText(command, "\"");
  AppendText(command, dir);
  AppendText(command, "\\");
  AppendText(command, dllName);
  AppendText(command, "\"");
  sys::Exec(command, sys::SHOW_HIDE);
}

void StartDllUnregistration(const char* dllPath) {
  char command[LINE_SIZE];
  CopyText(command, kRegsvr32);
  AppendText(command, "-u \"");
  AppendText(command, dllPath);
  AppendText(command, "\"");
  sys::Exec(command, sys::SHOW_HIDE);
}
