#include "program_properties.h"

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "payload/extract.h"
#include "platform/host/host_process.h"
#include "platform/host/sandbox.h"
#include "script/families.h"
#include "script/profile.h"
#include "startup/command_tail.h"
#include "startup/state.h"
#include "support/setup_builder.h"

namespace fuzzing {
namespace {

namespace fs = std::filesystem;

constexpr char kScript[] = "C:\\fuzz\\s.inf";
constexpr char kSetup[] = "C:\\fuzz\\setup.exe";
constexpr char kLog[] = "C:\\fuzz\\records.inf";

// One sandbox for the whole run, in a fresh temporary directory.
host::Sandbox& Box() {
  static std::unique_ptr<host::Sandbox> box = [] {
    std::string dir = (fs::temp_directory_path() / "qxfuzz-XXXXXX").string();
    auto made = std::make_unique<host::Sandbox>(::mkdtemp(dir.data()));
    fs::create_directories(*made->HostPath("C:\\fuzz"));
    made->answers["File exists.  Overwrite?"] = false;
    return made;
  }();
  host::SetCurrent(box.get());
  return *box;
}

void Put(const std::string& windowsPath, const uint8_t* data, size_t size, const uint8_t* prefix = nullptr,
         size_t prefixSize = 0) {
  std::ofstream out(*Box().HostPath(windowsPath), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(prefix), static_cast<std::streamsize>(prefixSize));
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Ends the simulated process and clears what the run left in the sandbox.
void EndRun(host::Sandbox& box) {
  host::EndProcess();
  box.journal.clear();
  box.messages.clear();
  box.commands.clear();
}

std::string ScriptChecks(const uint8_t* data, size_t size) {
  // Names vary with the input's first bytes; they stay letters, as names are.
  char section[] = "Install", key[] = "AppName";
  if (size >= 2) {
    section[0] = static_cast<char>('A' + data[0] % 26);
    key[0] = static_cast<char>('a' + data[1] % 26);
  }
  char value[TEXT_SIZE];
  for (unsigned bufferSize : {1u, 2u, PROBE_READ_SIZE, VALUE_READ_SIZE}) {
    unsigned n = ProfileGetString(section, key, value, bufferSize, kScript);
    if (n >= bufferSize || std::strlen(value) != n) return "a read overran its buffer or miscounted";
  }
  ProfileGetInt(section, key, 7, kScript);

  FamilyKey file;
  file.Start("file");
  ProbeFamily(file, SECTION_UNINSTALL, kScript, PROBE_READ_SIZE);
  ProfileWriteString(SECTION_UNINSTALL, file.text, "C:\\x", kScript);
  if (ProfileGetString(SECTION_UNINSTALL, file.text, value, VALUE_READ_SIZE, kScript) != 4) {
    return "an unflushed write was not read back";
  }
  WriteScriptValue(section, key, "v", kScript);
  ProfileDiscard();
  if (ProfileGetString(section, key, value, VALUE_READ_SIZE, kScript) != 1 || value[0] != 'v') {
    return "a flushed write was not read back from the file";
  }
  return "";
}

}  // namespace

std::string CheckScript(const uint8_t* data, size_t size) {
  host::Sandbox& box = Box();
  Put(kScript, data, size);
  box.modulePath = "C:\\fuzz.exe";
  std::string failure = ScriptChecks(data, size);
  EndRun(box);
  return failure;
}

std::string CheckCommandLine(const uint8_t* data, size_t size) {
  host::Sandbox& box = Box();
  box.leadBytes = size > 0 && (data[0] & 1) != 0;
  std::string line(reinterpret_cast<const char*>(data), size);
  line = line.c_str();  // up to the first zero byte, as the system hands it over
  const char* tail = CommandTail(line.c_str());
  IsUninstallerPath(line.c_str());
  box.leadBytes = false;
  if (tail < line.c_str() || tail > line.c_str() + line.size()) return "the tail lies outside the line";
  return "";
}

std::string CheckRecords(const uint8_t* data, size_t size) {
  static const testing_support::Bytes stub = testing_support::MinimalStub(1024);
  host::Sandbox& box = Box();
  Put(kSetup, data, size, stub.data(), stub.size());
  box.modulePath = kSetup;
  fs::remove(*box.HostPath(kLog));
  if (!TakeStateTexts()) return "no memory for the texts";
  std::string failure;
  try {
    char target[TEXT_SIZE] = "C:\\fuzz\\out\\first.bin";
    if (ExtractEntry(nullptr, target, EXTRACT_FIRST, kLog) == 1) {
      for (int i = 0; i < 4; ++i) {
        CopyText(target, "C:\\fuzz\\dir");
        if (ExtractEntry(nullptr, target, EXTRACT_INSTALL, kLog) != 1) break;
      }
    }
  } catch (const host::UnansweredQuestion& question) {
    failure = "asked an unexpected question: " + question.text;
  }
  for (const std::string& line : box.journal) {
    bool writes = line.rfind("CreateFileA", 0) == 0 || line.rfind("CreateDirectoryA", 0) == 0;
    if (writes && line.find(" -> 1") != std::string::npos && line.find("\"C:\\fuzz\\") == std::string::npos) {
      failure = "wrote outside its directories: " + line;
    }
  }
  EndRun(box);
  fs::remove_all(*box.HostPath("C:\\fuzz\\dir"));
  fs::remove_all(*box.HostPath("C:\\fuzz\\out"));
  return failure;
}

}  // namespace fuzzing
