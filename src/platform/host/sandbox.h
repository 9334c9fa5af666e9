// The host sandbox: a directory laid out like a Wine prefix in which the
// program's system layer runs on Linux.
//
//   ROOT/registry.reg         HKEY_LOCAL_MACHINE as a REGEDIT4 export
//   ROOT/drive_c/windows/     the Windows directory, with temp/
//   ROOT/drive_c/Program Files/
//   ROOT/drive_c/users/user/  the user's shell folders, where Wine keeps them
//
// "C:\..." paths map into drive_c without regard to letter case; "Z:\..."
// maps to the Linux root for reading, as in Wine. File attributes are kept
// as Wine keeps them: read-only in the write permission, the others in the
// extended attribute user.DOSATTRIB. Every call of the system layer that
// changes something, every message box and every started command goes to a
// journal; questions and the wizard are answered from the sandbox's script.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/registry_file.h"

namespace host {

namespace fs = std::filesystem;

struct MessageRecord {
  std::string caption;
  std::string text;
  unsigned style = 0;
  bool owned = false;
  int answer = 0;
};

struct CommandRecord {
  std::string commandLine;
  unsigned show = 0;
};

// A Yes/No question that the script does not answer: the run cannot go on.
class UnansweredQuestion : public std::runtime_error {
 public:
  UnansweredQuestion(const std::string& caption, const std::string& text);
  std::string caption;
  std::string text;
};

// The wizard's answers: Next, Accept, the directory (the proposed one unless
// given), Finish; or Cancel.
struct WizardScript {
  bool cancel = false;
  std::optional<std::string> directory;
};

class Sandbox {
 public:
  // Opens the sandbox at root, laying out a fresh one when root holds none.
  explicit Sandbox(fs::path root);

  const fs::path& Root() const { return root_; }
  fs::path RegistryPath() const { return root_ / "registry.reg"; }

  // The host path for a Windows path, matched without regard to case
  // (the deepest existing entries decide the letter case); nullopt for a
  // path on no drive the sandbox knows.
  std::optional<fs::path> HostPath(std::string_view windowsPath) const;
  // False for paths the program may not change (the Linux root behind Z:).
  bool Writable(std::string_view windowsPath) const;

  // What the program sees.
  std::string modulePath;                        // its own file, as a Windows path
  std::string windowsDir = "C:\\windows";
  std::string tempDir = "C:\\windows\\temp\\";
  std::map<int, std::string> shellFolders;       // a missing entry cannot be found
  bool leadBytes = false;                        // the code page has double-byte characters

  // Scripted answers: Yes/No questions by text or caption, the wizard, and
  // which memory blocks are refused.
  std::map<std::string, bool> answers;
  WizardScript wizard;
  std::function<bool(uint32_t size)> refuseBlock;
  bool failWindow = false;

  // Observers, for printing as the run goes.
  std::function<void(const MessageRecord&)> onMessage;
  std::function<void(const CommandRecord&)> onCommand;

  // What the run did.
  std::vector<std::string> journal;
  std::vector<MessageRecord> messages;
  std::vector<CommandRecord> commands;
  void Note(std::string line);
  std::vector<std::string> JournalWith(std::string_view prefix) const;

  RegistryFile registry;
  void SaveRegistry() const;

  // The shell folders of a fresh Wine prefix, for the sandbox's user.
  static std::map<int, std::string> DefaultShellFolders();

 private:
  void LayOut();
  fs::path root_;
};

// The sandbox that the host system layer works in.
Sandbox& Current();
Sandbox* CurrentOrNull();
void SetCurrent(Sandbox* sandbox);

// Runs the program in the sandbox as if the system started the file at
// modulePath (a Windows path) with the given full command line; returns its
// exit code. Restores the program-wide state afterwards, so runs can follow
// each other in one process. UnansweredQuestion passes through.
int RunProgram(Sandbox& sandbox, const std::string& modulePath, const std::string& commandLine);

// A Windows path for a Linux path, through the Z: drive.
std::string ZDrivePath(const fs::path& linuxPath);

// Quotes a text for the journal: "..." with \n, \r, \t and \" escaped.
std::string Quote(std::string_view text);

}  // namespace host
