// The system layer on Linux, inside the current sandbox.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>

#include "platform/host/host_process.h"
#include "platform/host/sandbox.h"
#include "platform/platform.h"
#include "script/profile.h"
#include "startup/state.h"

namespace sys {

struct FileObject {
  int fd;
  std::string windowsPath;
  bool forWrite;
};

struct KeyObject {
  std::string path;  // full, with the HKEY_LOCAL_MACHINE root
  bool readOnly;
};

}  // namespace sys

namespace host {
namespace {

namespace fs = std::filesystem;
using sys::FileObject;
using sys::KeyObject;

constexpr char kDosAttributes[] = "user.DOSATTRIB";
constexpr char kLocalMachine[] = "HKEY_LOCAL_MACHINE";
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

// What a run holds, so that the end of the run can give back what the
// program left open (the end of a process does as much).
std::set<FileObject*> g_openFiles;
std::set<void*> g_blocks;

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string Flag(bool ok) { return ok ? "1" : "0"; }

std::optional<fs::path> Mapped(const char* path) { return Current().HostPath(path); }

bool Exists(const fs::path& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// Attributes as Wine keeps them: read-only in the write permission, the rest
// in an extended attribute; a file with neither reads as archive.
uint32_t ReadAttributes(const fs::path& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return sys::INVALID_ATTRIBUTES;
  uint32_t attributes = 0;
  char stored[32] = {};
  ssize_t length = ::getxattr(path.c_str(), kDosAttributes, stored, sizeof stored - 1);
  bool hasStored = length > 0;
  if (hasStored) attributes = static_cast<uint32_t>(std::strtoul(stored, nullptr, 16));
  attributes &= ~(sys::ATTR_READONLY | sys::ATTR_DIRECTORY | sys::ATTR_NORMAL);
  if ((info.st_mode & S_IWUSR) == 0) attributes |= sys::ATTR_READONLY;
  if (S_ISDIR(info.st_mode)) return attributes | sys::ATTR_DIRECTORY;
  if (!hasStored) attributes |= sys::ATTR_ARCHIVE;
  return attributes != 0 ? attributes : sys::ATTR_NORMAL;
}

bool IsReadOnly(const fs::path& path) {
  uint32_t attributes = ReadAttributes(path);
  return attributes != sys::INVALID_ATTRIBUTES && (attributes & sys::ATTR_READONLY) != 0;
}

bool IsDirectory(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// A file the program may replace or delete: inside the sandbox, not a
// directory, not read-only.
std::optional<fs::path> WritableFile(const char* path) {
  if (!Current().Writable(path)) return std::nullopt;
  auto mapped = Mapped(path);
  if (!mapped || IsDirectory(*mapped) || (Exists(*mapped) && IsReadOnly(*mapped))) return std::nullopt;
  if (!IsDirectory(mapped->parent_path())) return std::nullopt;
  return mapped;
}

bool CopyContents(const fs::path& from, const fs::path& to) {
  std::error_code error;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error) && !error;
}

int Answer(const std::string& caption, const std::string& text, unsigned style) {
  Sandbox& box = Current();
  if ((style & 0x0F) != sys::BOX_YESNO) return sys::ID_OK;
  auto it = box.answers.find(text);
  if (it == box.answers.end()) it = box.answers.find(caption);
  if (it == box.answers.end()) throw UnansweredQuestion(caption, text);
  return it->second ? sys::ID_YES : sys::ID_NO;
}

int DaysFromCivil(int year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int>(doe) - 719468;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

void EndProcess() {
  for (FileObject* file : g_openFiles) {
    ::close(file->fd);
    delete file;
  }
  g_openFiles.clear();
  ProfileDiscard();
  ReleaseStateTexts();
  for (void* block : g_blocks) std::free(block);
  g_blocks.clear();
}

}  // namespace host

namespace sys {

namespace fs = std::filesystem;
using host::Current;
using host::Flag;
using host::Hex;
using host::Mapped;
using host::Quote;

unsigned ModulePath(Instance, char* buffer, unsigned size) {
  const std::string& path = Current().modulePath;
  if (size == 0) return 0;
  unsigned length = static_cast<unsigned>(std::min<size_t>(path.size(), size - 1));
  std::memcpy(buffer, path.data(), length);
  buffer[length] = 0;
  return length;
}

namespace {
unsigned CopyFitted(const std::string& text, char* buffer, unsigned size) {
  if (text.empty() || text.size() + 1 > size) {
    if (size != 0) buffer[0] = 0;
    return 0;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<unsigned>(text.size());
}
}  // namespace

unsigned TempPath(char* buffer, unsigned size) { return CopyFitted(Current().tempDir, buffer, size); }

unsigned WindowsDir(char* buffer, unsigned size) { return CopyFitted(Current().windowsDir, buffer, size); }

bool IsLeadByte(unsigned char byte) { return Current().leadBytes && byte >= 0x81 && byte <= 0xFE; }

File OpenRead(const char* path) {
  auto mapped = Mapped(path);
  if (!mapped || host::IsDirectory(*mapped)) return nullptr;
  int fd = ::open(mapped->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  auto* file = new FileObject{fd, path, false};
  host::g_openFiles.insert(file);
  return file;
}

File CreateWrite(const char* path) {
  auto mapped = host::WritableFile(path);
  File file = nullptr;
  if (mapped) {
    int fd = ::open(mapped->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
      file = new FileObject{fd, path, true};
      host::g_openFiles.insert(file);
    }
  }
  Current().Note("CreateFileA " + Quote(path) + " write -> " + Flag(file != nullptr));
  return file;
}

uint32_t SeekEnd(File file) {
  off_t end = ::lseek(file->fd, 0, SEEK_END);
  return end < 0 ? INVALID_SIZE : static_cast<uint32_t>(end);
}

bool SeekTo(File file, uint32_t offset) { return ::lseek(file->fd, offset, SEEK_SET) == static_cast<off_t>(offset); }

uint32_t Read(File file, void* buffer, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = ::read(file->fd, static_cast<char*>(buffer) + done, count - done);
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t Write(File file, const void* buffer, uint32_t count) {
  if (!file->forWrite) return 0;
  uint32_t done = 0;
  while (done < count) {
    ssize_t n = ::write(file->fd, static_cast<const char*>(buffer) + done, count - done);
    if (n <= 0) break;
    done += static_cast<uint32_t>(n);
  }
  return done;
}

uint32_t Size(File file) {
  struct stat info;
  return ::fstat(file->fd, &info) == 0 ? static_cast<uint32_t>(info.st_size) : INVALID_SIZE;
}

void SetLastWriteTime(File file, uint64_t fileTime) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  int64_t ticks = static_cast<int64_t>(fileTime) - static_cast<int64_t>(host::kUnixEpochAsFileTime);
  times[1].tv_sec = ticks / static_cast<int64_t>(host::kTicksPerSecond);
  times[1].tv_nsec = (ticks % static_cast<int64_t>(host::kTicksPerSecond)) * 100;
  ::futimens(file->fd, times);
  Current().Note("SetFileTime " + Quote(file->windowsPath) + " " + std::to_string(fileTime));
}

void Close(File file) {
  if (file == nullptr) return;
  ::close(file->fd);
  host::g_openFiles.erase(file);
  delete file;
}

// The conversion refuses what the calendar does not have; the stamp is
// taken as UTC, as on a machine whose time zone is UTC.
bool DosStampToFileTime(uint16_t fatDate, uint16_t fatTime, uint64_t* fileTime) {
  static constexpr unsigned kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int year = 1980 + (fatDate >> 9);
  unsigned month = (fatDate >> 5) & 0x0F, day = fatDate & 0x1F;
  unsigned hour = fatTime >> 11, minute = (fatTime >> 5) & 0x3F, second = (fatTime & 0x1F) * 2u;
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
  unsigned monthDays = kDaysInMonth[month - 1] + (month == 2 && host::IsLeapYear(year) ? 1 : 0);
  if (day > monthDays) return false;
  int64_t seconds = static_cast<int64_t>(host::DaysFromCivil(year, month, day)) * 86400 + hour * 3600 +
                    minute * 60 + second;
  *fileTime = static_cast<uint64_t>(seconds) * host::kTicksPerSecond + host::kUnixEpochAsFileTime;
  return true;
}

uint32_t GetAttributes(const char* path) {
  auto mapped = Mapped(path);
  return mapped ? host::ReadAttributes(*mapped) : INVALID_ATTRIBUTES;
}

bool SetAttributes(const char* path, uint32_t attributes) {
  auto mapped = Mapped(path);
  bool ok = mapped && Current().Writable(path) && host::Exists(*mapped);
  if (ok) {
    struct stat info;
    ::stat(mapped->c_str(), &info);
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & ATTR_READONLY) != 0 ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    ::chmod(mapped->c_str(), mode);
    uint32_t stored = attributes & ~(ATTR_READONLY | ATTR_DIRECTORY | ATTR_NORMAL);
    std::string text = Hex(stored);
    ::setxattr(mapped->c_str(), host::kDosAttributes, text.data(), text.size(), 0);
  }
  Current().Note("SetFileAttributesA " + Quote(path) + " " + Hex(attributes) + " -> " + Flag(ok));
  return ok;
}

bool CreateDir(const char* path) {
  auto mapped = Mapped(path);
  bool ok = mapped && Current().Writable(path) && !host::Exists(*mapped) &&
            host::IsDirectory(mapped->parent_path()) && ::mkdir(mapped->c_str(), 0755) == 0;
  Current().Note("CreateDirectoryA " + Quote(path) + " -> " + Flag(ok));
  return ok;
}

bool RemoveDir(const char* path) {
  auto mapped = Mapped(path);
  bool ok = mapped && Current().Writable(path) && host::IsDirectory(*mapped) && ::rmdir(mapped->c_str()) == 0;
  Current().Note("RemoveDirectoryA " + Quote(path) + " -> " + Flag(ok));
  return ok;
}

bool RemoveFile(const char* path) {
  auto mapped = host::WritableFile(path);
  bool ok = mapped && host::Exists(*mapped) && ::unlink(mapped->c_str()) == 0;
  Current().Note("DeleteFileA " + Quote(path) + " -> " + Flag(ok));
  return ok;
}

bool CopyFileOver(const char* from, const char* to) {
  auto source = Mapped(from);
  auto target = host::WritableFile(to);
  bool ok = source && target && fs::is_regular_file(*source) && host::CopyContents(*source, *target);
  if (ok) {
    uint32_t attributes = host::ReadAttributes(*source);
    std::string text = Hex(attributes & ~(ATTR_READONLY | ATTR_DIRECTORY | ATTR_NORMAL));
    ::setxattr(target->c_str(), host::kDosAttributes, text.data(), text.size(), 0);
  }
  Current().Note("CopyFileA " + Quote(from) + " " + Quote(to) + " -> " + Flag(ok));
  return ok;
}

bool MoveFileReplace(const char* from, const char* to) {
  auto source = Mapped(from);
  auto target = host::WritableFile(to);
  bool ok = source && target && Current().Writable(from) && host::Exists(*source);
  if (ok) {
    std::error_code error;
    fs::rename(*source, *target, error);
    if (error) ok = host::CopyContents(*source, *target) && ::unlink(source->c_str()) == 0;
  }
  Current().Note("MoveFileExA " + Quote(from) + " " + Quote(to) + " -> " + Flag(ok));
  return ok;
}

void* TakeBlock(uint32_t size) {
  host::Sandbox& box = Current();
  if (box.refuseBlock && box.refuseBlock(size)) {
    box.Note("GlobalAlloc " + std::to_string(size) + " -> 0");
    return nullptr;
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) host::g_blocks.insert(block);
  return block;
}

void ReleaseBlock(void* block) {
  if (block == nullptr) return;
  host::g_blocks.erase(block);
  std::free(block);
}

int ShowMessage(Window owner, const char* text, const char* caption, unsigned style) {
  host::Sandbox& box = Current();
  host::MessageRecord record{caption, text, style, owner != nullptr, 0};
  std::string line = "MessageBoxA " + std::string(owner != nullptr ? "owned" : "unowned") + " " + Quote(caption) +
                     " " + Quote(text) + " " + Hex(style);
  try {
    record.answer = host::Answer(caption, text, style);
  } catch (const host::UnansweredQuestion&) {
    box.Note(line + " -> unanswered");
    throw;
  }
  box.Note(line + " -> " + std::to_string(record.answer));
  box.messages.push_back(record);
  if (box.onMessage) box.onMessage(record);
  return record.answer;
}

unsigned Exec(const char* commandLine, unsigned show) {
  host::Sandbox& box = Current();
  host::CommandRecord record{commandLine, show};
  box.Note("WinExec " + Quote(commandLine) + " " + std::to_string(show));
  box.commands.push_back(record);
  if (box.onCommand) box.onCommand(record);
  return 33;
}

namespace {
// A key handle names its key without a closing backslash, as the system's does.
std::string KeyPath(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}
}  // namespace

Key RegCreate(const char* path) {
  host::Sandbox& box = Current();
  std::string full = KeyPath(std::string(host::kLocalMachine) + "\\" + path);
  box.registry.CreateKey(full);
  box.SaveRegistry();
  box.Note("RegCreateKeyExA " + Quote(path));
  return new KeyObject{full, false};
}

Key RegOpen(Key parent, const char* path, bool readOnly) {
  host::Sandbox& box = Current();
  std::string full = KeyPath((parent != nullptr ? parent->path : std::string(host::kLocalMachine)) + "\\" + path);
  bool ok = box.registry.KeyExists(full);
  box.Note("RegOpenKeyExA " + Quote(full.substr(sizeof host::kLocalMachine)) + (readOnly ? " read" : " all") +
           " -> " + Flag(ok));
  return ok ? new KeyObject{full, readOnly} : nullptr;
}

bool RegSetText(Key key, const char* name, const char* text) {
  host::Sandbox& box = Current();
  bool ok = !key->readOnly && box.registry.SetText(key->path, name, text);
  if (ok) box.SaveRegistry();
  box.Note("RegSetValueExA " + Quote(key->path.substr(sizeof host::kLocalMachine)) + " " + Quote(name) +
           " REG_SZ " + std::to_string(std::strlen(text)) + " " + Quote(text) + " -> " + Flag(ok));
  return ok;
}

bool RegDeleteSubkey(Key key, const char* name) {
  host::Sandbox& box = Current();
  std::string full = key->path + (*name != 0 ? "\\" + std::string(name) : std::string());
  bool ok = !key->readOnly && box.registry.DeleteKey(full);
  if (ok) box.SaveRegistry();
  box.Note("RegDeleteKeyA " + Quote(key->path.substr(sizeof host::kLocalMachine)) + " " + Quote(name) + " -> " +
           Flag(ok));
  return ok;
}

void RegFlush(Key key) {
  if (key == nullptr) return;
  Current().Note("RegFlushKey " + Quote(key->path.substr(sizeof host::kLocalMachine)));
}

void RegClose(Key key) { delete key; }

bool ShellFolder(int folder, char* buffer, bool create) {
  host::Sandbox& box = Current();
  auto it = box.shellFolders.find(folder);
  bool ok = it != box.shellFolders.end() && it->second.size() < 260;
  if (ok) {
    auto mapped = box.HostPath(it->second);
    if (create && mapped) {
      std::error_code error;
      fs::create_directories(*mapped, error);
    }
    ok = mapped && host::IsDirectory(*mapped);
  }
  if (ok) std::memcpy(buffer, it->second.c_str(), it->second.size() + 1);
  box.Note("SHGetSpecialFolderPathA " + std::to_string(folder) + (create ? " create" : "") + " -> " +
           (ok ? Quote(buffer) : std::string("0")));
  return ok;
}

// A shortcut here is a small text file that records what the shell link
// object would store: the target and the description.
void CreateShortcut(const char* target, const char* description, const char* shortcutPath) {
  host::Sandbox& box = Current();
  auto mapped = host::WritableFile(shortcutPath);
  bool ok = false;
  if (mapped && !mapped->filename().empty()) {
    std::ofstream out(*mapped, std::ios::binary | std::ios::trunc);
    out << "[Shortcut]\r\nTarget=" << target << "\r\nDescription=" << description << "\r\n";
    ok = static_cast<bool>(out);
  }
  box.Note("CreateShortcut " + Quote(target) + " " + Quote(description) + " " + Quote(shortcutPath) + " -> " +
           Flag(ok));
}

}  // namespace sys
