// The system layer on Windows: each operation is the Win32 call with the
// arguments the program relies on.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/platform.h"

static_assert(sys::ATTR_READONLY == FILE_ATTRIBUTE_READONLY && sys::ATTR_HIDDEN == FILE_ATTRIBUTE_HIDDEN &&
              sys::ATTR_SYSTEM == FILE_ATTRIBUTE_SYSTEM && sys::ATTR_DIRECTORY == FILE_ATTRIBUTE_DIRECTORY &&
              sys::ATTR_ARCHIVE == FILE_ATTRIBUTE_ARCHIVE && sys::ATTR_NORMAL == FILE_ATTRIBUTE_NORMAL);
static_assert(sys::BOX_YESNO == MB_YESNO && sys::BOX_ICON_ERROR == MB_ICONERROR &&
              sys::BOX_ICON_QUESTION == MB_ICONQUESTION && sys::BOX_ICON_WARNING == MB_ICONWARNING &&
              sys::ID_YES == IDYES && sys::ID_OK == IDOK && sys::ID_NO == IDNO);
static_assert(sys::SHOW_HIDE == SW_HIDE && sys::SHOW_NORMAL == SW_SHOWNORMAL && sys::SHOW_DEFAULT == SW_SHOWDEFAULT &&
              sys::SHOW_MAXIMIZED == SW_SHOWMAXIMIZED);
static_assert(sys::FOLDER_PROGRAMS == CSIDL_PROGRAMS && sys::FOLDER_STARTUP == CSIDL_STARTUP &&
              sys::FOLDER_DESKTOP_DIRECTORY == CSIDL_DESKTOPDIRECTORY && sys::FOLDER_APPDATA == CSIDL_APPDATA);

namespace sys {
namespace {

HANDLE AsHandle(File file) { return reinterpret_cast<HANDLE>(file); }
HKEY AsKey(Key key) { return reinterpret_cast<HKEY>(key); }

File FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<File>(handle);
}

}  // namespace

unsigned ModulePath(Instance instance, char* buffer, unsigned size) {
  return GetModuleFileNameA(reinterpret_cast<HMODULE>(instance), buffer, size);
}

namespace {
// A length that does not fit the buffer means the text was not written.
unsigned Fitted(char* buffer, unsigned size, unsigned length) {
  if (length == 0 || length >= size) {
    if (size != 0) buffer[0] = 0;
    return 0;
  }
  return length;
}
}  // namespace

unsigned TempPath(char* buffer, unsigned size) { return Fitted(buffer, size, GetTempPathA(size, buffer)); }

unsigned WindowsDir(char* buffer, unsigned size) { return Fitted(buffer, size, GetWindowsDirectoryA(buffer, size)); }

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

File OpenRead(const char* path) {
  return FromHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

File CreateWrite(const char* path) {
  return FromHandle(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

uint32_t SeekEnd(File file) { return SetFilePointer(AsHandle(file), 0, nullptr, FILE_END); }

bool SeekTo(File file, uint32_t offset) {
  return SetFilePointer(AsHandle(file), static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset;
}

uint32_t Read(File file, void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!ReadFile(AsHandle(file), buffer, count, &done, nullptr)) return 0;
  return done;
}

uint32_t Write(File file, const void* buffer, uint32_t count) {
  DWORD done = 0;
  if (!WriteFile(AsHandle(file), buffer, count, &done, nullptr)) return 0;
  return done;
}

uint32_t Size(File file) { return GetFileSize(AsHandle(file), nullptr); }

void SetLastWriteTime(File file, uint64_t fileTime) {
  FILETIME lastWrite;
  lastWrite.dwLowDateTime = static_cast<DWORD>(fileTime);
  lastWrite.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  SetFileTime(AsHandle(file), nullptr, nullptr, &lastWrite);
}

void Close(File file) {
  if (file != nullptr) CloseHandle(AsHandle(file));
}

bool DosStampToFileTime(uint16_t fatDate, uint16_t fatTime, uint64_t* fileTime) {
  FILETIME converted;
  if (!::DosDateTimeToFileTime(fatDate, fatTime, &converted)) return false;
  *fileTime = static_cast<uint64_t>(converted.dwHighDateTime) << 32 | converted.dwLowDateTime;
  return true;
}

uint32_t GetAttributes(const char* path) { return GetFileAttributesA(path); }

bool SetAttributes(const char* path, uint32_t attributes) { return SetFileAttributesA(path, attributes) != FALSE; }

bool CreateDir(const char* path) { return CreateDirectoryA(path, nullptr) != FALSE; }

bool RemoveDir(const char* path) { return RemoveDirectoryA(path) != FALSE; }

bool RemoveFile(const char* path) { return DeleteFileA(path) != FALSE; }

bool CopyFileOver(const char* from, const char* to) { return CopyFileA(from, to, FALSE) != FALSE; }

bool MoveFileReplace(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
}

void* TakeBlock(uint32_t size) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size);
  if (handle == nullptr) return nullptr;
  void* block = GlobalLock(handle);
  if (block == nullptr) GlobalFree(handle);
  return block;
}

void ReleaseBlock(void* block) {
  if (block == nullptr) return;
  HGLOBAL handle = GlobalHandle(block);
  GlobalUnlock(handle);
  GlobalFree(handle);
}

int ShowMessage(Window owner, const char* text, const char* caption, unsigned style) {
  return MessageBoxA(reinterpret_cast<HWND>(owner), text, caption, style);
}

unsigned Exec(const char* commandLine, unsigned show) { return WinExec(commandLine, show); }

Key RegCreate(const char* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return reinterpret_cast<Key>(key);
}

Key RegOpen(Key parent, const char* path, bool readOnly) {
  HKEY key = nullptr;
  HKEY root = parent != nullptr ? AsKey(parent) : HKEY_LOCAL_MACHINE;
  if (RegOpenKeyExA(root, path, 0, readOnly ? KEY_READ : KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
  return reinterpret_cast<Key>(key);
}

bool RegSetText(Key key, const char* name, const char* text) {
  DWORD length = lstrlenA(text);
  return RegSetValueExA(AsKey(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), length) ==
         ERROR_SUCCESS;
}

bool RegDeleteSubkey(Key key, const char* name) { return RegDeleteKeyA(AsKey(key), name) == ERROR_SUCCESS; }

void RegFlush(Key key) {
  if (key != nullptr) RegFlushKey(AsKey(key));
}

void RegClose(Key key) {
  if (key != nullptr) RegCloseKey(AsKey(key));
}

bool ShellFolder(int folder, char* buffer, bool create) {
  return SHGetSpecialFolderPathA(nullptr, buffer, folder, create ? TRUE : FALSE) != FALSE;
}

void CreateShortcut(const char* target, const char* description, const char* shortcutPath) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link)))) {
    return;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    link->SetDescription(description);
    link->SetPath(target);
    WCHAR widePath[MAX_PATH];
    widePath[0] = 0;
    MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, widePath, MAX_PATH);
    file->Save(widePath, TRUE);
    file->Release();
  }
  link->Release();
}

}  // namespace sys
