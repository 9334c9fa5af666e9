#include "install/shortcuts.h"

#include "common/text.h"
#include "platform/platform.h"
#include "script/profile.h"
#include "startup/state.h"

namespace {

struct Link {
  char target[TEXT_SIZE];
  char description[TEXT_SIZE];
  char fileName[TEXT_SIZE];
};

// The description of a shortcut without one: its file name cut before the
// last dot, or the whole name when it has no dot.
void DescriptionFromFileName(const char* fileName, char* description) {
  CopyText(description, TEXT_SIZE, fileName);
  int dot = FindLastChar(description, '.');
  if (dot >= 0) description[dot] = 0;
}

// Logs the shortcut under the current letter, moves the letter on, then
// writes the shortcut.
void PlaceShortcut(FamilyKey& fileKey, const Link& link, const char* shortcutPath) {
  WriteScriptValue(SECTION_UNINSTALL, fileKey.text, shortcutPath, Setup.ScriptPath);
  fileKey.Advance();
  sys::CreateShortcut(link.target, link.description, shortcutPath);
}

// An offer of a second shortcut for the first link, made only when the
// script allows it and the shell folder it goes below can be found. (A
// Quick Launch subfolder that is missing is not created: the shortcut is
// logged but not written, as on a system without that toolbar.)
void Offer(FamilyKey& fileKey, const Link& link, const char* allowKey, const char* question, int folder,
           const char* suffix) {
  if (ProfileGetInt(SECTION_INSTALL, allowKey, 0, Setup.ScriptPath) == 0) return;
  char path[TEXT_SIZE];
  if (!ShellFolderPath(folder, false, suffix, link.fileName, path)) return;
  if (sys::ShowMessage(nullptr, question, "Setup", sys::BOX_YESNO) != sys::ID_YES) return;
  PlaceShortcut(fileKey, link, path);
}

}  // namespace

bool ShellFolderPath(int folder, bool create, const char* suffix, const char* name, char* path) {
  char folderPath[LINE_SIZE];  // the system writes up to 260 bytes here
  folderPath[0] = 0;
  if (!sys::ShellFolder(folder, folderPath, create)) return false;
  CopyText(path, TEXT_SIZE, folderPath);
  AppendText(path, TEXT_SIZE, suffix);
  AppendText(path, TEXT_SIZE, name);
  return true;
}

void RunShortcutPhase(FamilyKey& fileKey) {
  char group[TEXT_SIZE];
  bool hasGroup = ShellFolderPath(sys::FOLDER_PROGRAMS, true, "\\", Setup.AppName, group);
  if (hasGroup) {
    sys::CreateDir(group);
    WriteScriptValue(SECTION_UNINSTALL, "linkdir", group, Setup.ScriptPath);
  }

  FamilyKey target, fileName, description;
  target.Start("link");
  fileName.Start("linkfile");
  description.Start("Desc");
  bool firstLink = true;
  Link link;
  char value[TEXT_SIZE];
  while (ReadScriptText(SECTION_LINKS, target.text, value, Setup.ScriptPath) > 0) {
    CopyText(link.target, Setup.InstallDir);
    AppendText(link.target, "\\");
    AppendText(link.target, value);
    ReadScriptText(SECTION_LINKS, fileName.text, link.fileName, Setup.ScriptPath);
    if (ReadScriptText(SECTION_LINKS, description.text, link.description, Setup.ScriptPath) == 0) {
      DescriptionFromFileName(link.fileName, link.description);
    }
    if (hasGroup) {
      char shortcut[TEXT_SIZE];
      CopyText(shortcut, group);
      AppendText(shortcut, "\\");
      AppendText(shortcut, link.fileName);
      PlaceShortcut(fileKey, link, shortcut);
    }
    if (firstLink) {
      firstLink = false;
      CopyText(Setup.RunTarget, TEXT_SIZE, link.target);
      Offer(fileKey, link, "Desk", "Add a desktop icon?", sys::FOLDER_DESKTOP_DIRECTORY, "\\");
      Offer(fileKey, link, "QLaunch", "Add Quick Launch toolbar button?", sys::FOLDER_APPDATA, QUICK_LAUNCH_SUFFIX);
    }
    if (!target.Advance() || !fileName.Advance() || !description.Advance()) break;
  }
}
