// The uninstall sequence: confirms, then removes what the log names, in the
// order the log gives, and the registry entries.
//
// The log is read whole before the first removal: the profile service keeps
// serving the text it loaded, so deleting the log itself in the middle of
// the file walk loses none of the entries after it.
#include "uninstall/uninstall.h"

#include "common/text.h"
#include "install/registration.h"
#include "install/shortcuts.h"
#include "payload/extract.h"
#include "platform/platform.h"
#include "script/families.h"
#include "script/profile.h"
#include "startup/state.h"

namespace {

constexpr char kCaption[] = "Uninstall";

bool Confirmed() {
  CopyText(Setup.AppBy, TEXT_SIZE, "Are you sure you want to completely\nremove ");
  AppendText(Setup.AppBy, TEXT_SIZE, Setup.AppName);
  AppendText(Setup.AppBy, TEXT_SIZE, " from your computer?");
  return sys::ShowMessage(nullptr, Setup.AppBy, kCaption, sys::BOX_ICON_QUESTION | sys::BOX_YESNO) == sys::ID_YES;
}

// The first link's shortcuts outside the program group, by name.
void RemoveShortcutCopies(const char* fileName) {
  struct Place {
    int folder;
    const char* suffix;
  };
  static constexpr Place kPlaces[] = {
      {sys::FOLDER_STARTUP, "\\"},
      {sys::FOLDER_APPDATA, QUICK_LAUNCH_SUFFIX},
      {sys::FOLDER_DESKTOP_DIRECTORY, "\\"},
  };
  for (const Place& place : kPlaces) {
    char path[TEXT_SIZE];
    if (ShellFolderPath(place.folder, false, place.suffix, fileName, path)) sys::RemoveFile(path);
  }
}

// Calls act with each value of the family, from 'a' to the first empty one.
template <typename Act>
void Walk(const char* prefix, Act act) {
  FamilyKey key;
  key.Start(prefix);
  while (ReadScriptText(SECTION_UNINSTALL, key.text, Setup.ScratchText, Setup.ScriptPath) > 0) {
    act(Setup.ScratchText);
    if (!key.Advance()) break;
  }
}

}  // namespace

int RunUninstall() {
  ReadScriptText(SECTION_UNINSTALL, "dir", Setup.WorkDir, Setup.ScriptPath);
  ReadScriptText(SECTION_INSTALL, "AppName", Setup.AppName, Setup.ScriptPath);
  if (!Confirmed()) return 0;
  if (Setup.AppName[0] == 0 || Setup.WorkDir[0] == 0) {
    ShowUninstallError();
    return 0;
  }

  ReadScriptText(SECTION_LINKS, "linkfilea", Setup.ScratchText, Setup.ScriptPath);
  RemoveShortcutCopies(Setup.ScratchText);
  Walk("dll", [](const char* path) { StartDllUnregistration(path); });
  Walk("file", [](const char* path) {
    // The installation gives files their read-only attribute; clear it so they can go.
    MakeWritable(path);
    sys::RemoveFile(path);
  });
  Walk("dire", [](const char* subdirectory) {
    char path[TEXT_SIZE];
    CopyText(path, Setup.WorkDir);
    AppendText(path, "\\");
    AppendText(path, subdirectory);
    sys::RemoveDir(path);
  });
  sys::RemoveDir(Setup.WorkDir);
  if (ReadScriptText(SECTION_UNINSTALL, "linkdir", Setup.LicensePath, Setup.ScriptPath) > 0) {
    sys::RemoveDir(Setup.LicensePath);
  }
  RegisterProduct(true);
  return 1;
}

void ShowUninstallReport() {
  AppendText(Setup.AppName, TEXT_SIZE, " has been uninstalled.");
  if (sys::GetAttributes(Setup.WorkDir) != sys::INVALID_ATTRIBUTES) {
    AppendText(Setup.AppName, TEXT_SIZE, "\r\nSome files could not be removed.");
  }
  sys::ShowMessage(nullptr, Setup.AppName, kCaption, sys::BOX_OK);
}

void ShowUninstallError() {
  sys::ShowMessage(nullptr, "Uninstall error!  Unable to uninstall!", kCaption, sys::BOX_ICON_ERROR);
}
