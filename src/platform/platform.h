// What the program relies on from the operating system, in its own terms.
//
// Two implementations exist: platform/win32 maps every operation to the
// Win32 call and arguments that the program's design names; platform/host
// runs the same operations in a sandbox directory on Linux, with scripted
// answers and a journal of calls (see platform/host/sandbox.h).
//
// Texts are single-byte strings of the active code page with a terminating
// zero. Constants carry their Win32 values, so callers and journals read the
// same numbers on both builds.
#pragma once

#include <cstdint>

namespace sys {

// ---- Constants (Win32 values) ----------------------------------------------

inline constexpr uint32_t INVALID_ATTRIBUTES = 0xFFFFFFFFu;
inline constexpr uint32_t ATTR_READONLY = 0x01;
inline constexpr uint32_t ATTR_HIDDEN = 0x02;
inline constexpr uint32_t ATTR_SYSTEM = 0x04;
inline constexpr uint32_t ATTR_DIRECTORY = 0x10;
inline constexpr uint32_t ATTR_ARCHIVE = 0x20;
inline constexpr uint32_t ATTR_NORMAL = 0x80;
inline constexpr uint32_t INVALID_SIZE = 0xFFFFFFFFu;

// Message box styles and answers.
inline constexpr unsigned BOX_OK = 0x00;
inline constexpr unsigned BOX_YESNO = 0x04;
inline constexpr unsigned BOX_ICON_ERROR = 0x10;
inline constexpr unsigned BOX_ICON_QUESTION = 0x20;
inline constexpr unsigned BOX_ICON_WARNING = 0x30;
inline constexpr int ID_OK = 1;
inline constexpr int ID_YES = 6;
inline constexpr int ID_NO = 7;

// Show states for started commands.
inline constexpr unsigned SHOW_HIDE = 0;
inline constexpr unsigned SHOW_NORMAL = 1;
inline constexpr unsigned SHOW_MAXIMIZED = 3;
inline constexpr int SHOW_DEFAULT = 10;

// Shell folders.
inline constexpr int FOLDER_PROGRAMS = 2;
inline constexpr int FOLDER_STARTUP = 7;
inline constexpr int FOLDER_DESKTOP_DIRECTORY = 16;
inline constexpr int FOLDER_APPDATA = 26;

// ---- Handles ---------------------------------------------------------------

// An open file; null when it could not be opened.
struct FileObject;
using File = FileObject*;
// A registry key under HKEY_LOCAL_MACHINE; null when it could not be opened.
struct KeyObject;
using Key = KeyObject*;
// A window of the program (owner of message boxes); null for none.
struct WindowObject;
using Window = WindowObject*;
// The program's module instance.
struct InstanceObject;
using Instance = InstanceObject*;

// ---- The program's own file and the system directories --------------------

// GetModuleFileNameA: the program file's full path; returns its length.
unsigned ModulePath(Instance instance, char* buffer, unsigned size);
// GetTempPathA: the temporary directory, ending in a backslash; its length.
// A directory that does not fit, or a failed lookup, gives 0 and an empty text.
unsigned TempPath(char* buffer, unsigned size);
// GetWindowsDirectoryA: the Windows directory; its length. A directory that
// does not fit, or a failed lookup, gives 0 and an empty text.
unsigned WindowsDir(char* buffer, unsigned size);

// IsDBCSLeadByte: true for the first byte of a double-byte character in the
// active code page.
bool IsLeadByte(unsigned char byte);

// ---- Files ------------------------------------------------------------------

// CreateFileA(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL).
File OpenRead(const char* path);
// CreateFileA(GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL).
File CreateWrite(const char* path);
// SetFilePointer(0, FILE_END): the file's size, or INVALID_SIZE.
uint32_t SeekEnd(File file);
// SetFilePointer(offset, FILE_BEGIN).
bool SeekTo(File file, uint32_t offset);
// ReadFile / WriteFile: the number of bytes moved.
uint32_t Read(File file, void* buffer, uint32_t count);
uint32_t Write(File file, const void* buffer, uint32_t count);
// GetFileSize: the size, or INVALID_SIZE.
uint32_t Size(File file);
// SetFileTime(file, no creation time, no access time, lastWrite).
void SetLastWriteTime(File file, uint64_t fileTime);
// CloseHandle; a null file is ignored.
void Close(File file);

// DosDateTimeToFileTime: false for a stamp the conversion refuses.
bool DosStampToFileTime(uint16_t fatDate, uint16_t fatTime, uint64_t* fileTime);

// GetFileAttributesA / SetFileAttributesA.
uint32_t GetAttributes(const char* path);
bool SetAttributes(const char* path, uint32_t attributes);
// CreateDirectoryA(path, no security attributes) / RemoveDirectoryA.
bool CreateDir(const char* path);
bool RemoveDir(const char* path);
// DeleteFileA.
bool RemoveFile(const char* path);
// CopyFileA(from, to, bFailIfExists FALSE).
bool CopyFileOver(const char* from, const char* to);
// MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED).
bool MoveFileReplace(const char* from, const char* to);

// ---- Memory -----------------------------------------------------------------

// GlobalAlloc(GMEM_MOVEABLE) and GlobalLock: a block for one operation, or
// null. ReleaseBlock unlocks and frees it; null is ignored.
void* TakeBlock(uint32_t size);
void ReleaseBlock(void* block);

// ---- User and processes -----------------------------------------------------

// MessageBoxA(owner, text, caption, style): the answer (ID_OK, ID_YES, ...).
int ShowMessage(Window owner, const char* text, const char* caption, unsigned style);
// WinExec(commandLine, show): greater than 31 when the command started.
unsigned Exec(const char* commandLine, unsigned show);

// ---- Registry (HKEY_LOCAL_MACHINE only) ------------------------------------

// RegCreateKeyExA(HKLM, path, 0, no class, 0, KEY_ALL_ACCESS, no security).
Key RegCreate(const char* path);
// RegOpenKeyExA(parent or HKLM, path, 0, KEY_ALL_ACCESS or KEY_READ).
Key RegOpen(Key parent, const char* path, bool readOnly);
// RegSetValueExA(key, name, 0, REG_SZ, data, length): the data is the
// text's characters without the terminating zero.
bool RegSetText(Key key, const char* name, const char* text);
// RegDeleteKeyA(key, name).
bool RegDeleteSubkey(Key key, const char* name);
// RegFlushKey / RegCloseKey; a null key is ignored.
void RegFlush(Key key);
void RegClose(Key key);

// ---- Shell ------------------------------------------------------------------

// SHGetSpecialFolderPathA(no owner, buffer, folder, create).
bool ShellFolder(int folder, char* buffer, bool create);
// One shortcut through the shell link object: description and target set,
// saved at shortcutPath. Every failure is silent.
void CreateShortcut(const char* target, const char* description, const char* shortcutPath);

}  // namespace sys
