// The installation's two modes of ExtractEntry: an application file below
// the installation directory with its log entries and copy mode, and the
// uninstaller copy of the program without its payload.
#include "common/text.h"
#include "payload/extract.h"
#include "script/families.h"
#include "script/profile.h"

namespace {

enum CopyMode { COPY_OVERWRITE = 1, COPY_ASK = 2, COPY_KEEP = 3, COPY_WINDIR = 8 };

constexpr uint32_t kCopyChunk = 4095;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A component of nothing but dots and blanks names the directory itself or
// one above it once the system trims it ("..", ".. ", "...").
bool IsDotsOnly(const char* begin, const char* end) {
  if (begin == end) return false;
  for (const char* p = begin; p < end; ++p) {
    if (*p != '.' && *p != ' ') return false;
  }
  return true;
}

// True for names that stay below the installation directory: not absolute,
// no drive or stream colon, no leading separator, no component of dots.
bool StaysInside(const char* name) {
  if (IsSeparator(name[0])) return false;
  const char* component = name;
  for (const char* p = name;; ++p) {
    if (*p == ':') return false;
    if (*p == 0 || IsSeparator(*p)) {
      if (IsDotsOnly(component, p)) return false;
      if (*p == 0) return true;
      component = p + 1;
    }
  }
}

// Logs every directory level of a name with backslashes, deepest first,
// each under the next free `dire` letter, so the uninstaller's walk from
// 'a' removes each level after the ones inside it.
void LogSubdirectories(const char* name, const char* scriptPath) {
  char level[TEXT_SIZE];
  CopyText(level, name);
  for (int cut = FindLastChar(level, '\\'); cut > 0; cut = FindLastChar(level, '\\')) {
    level[cut] = 0;
    FamilyKey dire;
    dire.Start("dire");
    ProbeFamily(dire, SECTION_UNINSTALL, scriptPath, PROBE_READ_SIZE);
    ProfileWriteString(SECTION_UNINSTALL, dire.text, level, scriptPath);
  }
}

bool UserKeepsExisting(const char* destination) {
  return sys::ShowMessage(nullptr, "File exists.  Overwrite?", destination,
                          sys::BOX_ICON_WARNING | sys::BOX_YESNO) != sys::ID_YES;
}

}  // namespace

InstallTarget SettleInstallTarget(const payload::RecordView& record, char* targetPath, const char* scriptPath) {
  char name[TEXT_SIZE];
  name[0] = 0;
  AppendChars(name, TEXT_SIZE, record.name, record.nameLength);
  // The system takes "/" as a separator too; the log and the checks use "\".
  for (char* p = name; *p != 0; ++p) {
    if (*p == '/') *p = '\\';
  }
  if (TextLength(name) != record.nameLength || !StaysInside(name)) return InstallTarget::Refuse;

  LogSubdirectories(name, scriptPath);
  AppendText(targetPath, TEXT_SIZE, "\\");
  AppendText(targetPath, TEXT_SIZE, name);

  FamilyKey file;
  file.Start("file");
  ProbeFamily(file, SECTION_UNINSTALL, scriptPath, PROBE_READ_SIZE);
  int mode = ProfileGetInt(SECTION_COPYMODE, file.text, COPY_OVERWRITE, scriptPath);
  if (mode == COPY_WINDIR) {
    unsigned length = sys::WindowsDir(targetPath, TEXT_SIZE);
    if (length == 0 || targetPath[length - 1] != '\\') AppendText(targetPath, TEXT_SIZE, "\\");
    AppendText(targetPath, TEXT_SIZE, name);
  }
  ProfileWriteString(SECTION_UNINSTALL, file.text, targetPath, scriptPath);

  bool exists = sys::GetAttributes(targetPath) != sys::INVALID_ATTRIBUTES;
  if (exists && (mode == COPY_KEEP || (mode == COPY_ASK && UserKeepsExisting(targetPath)))) {
    return InstallTarget::Skip;
  }
  return InstallTarget::Write;
}

int CopyUninstaller(sys::File ownFile, uint32_t stubSize, const char* targetPath) {
  if (sys::GetAttributes(targetPath) != sys::INVALID_ATTRIBUTES) {
    sys::File existing = sys::OpenRead(targetPath);
    uint32_t size = existing != nullptr ? sys::Size(existing) : sys::INVALID_SIZE;
    sys::Close(existing);
    if (size != sys::INVALID_SIZE && size > stubSize) return 1;
  }
  sys::File target = sys::CreateWrite(targetPath);
  auto* buffer = static_cast<uint8_t*>(sys::TakeBlock(kCopyChunk + 1));
  if (target != nullptr && buffer != nullptr && sys::SeekTo(ownFile, 0)) {
    for (uint32_t copied = 0; copied < stubSize;) {
      uint32_t chunk = stubSize - copied < kCopyChunk ? stubSize - copied : kCopyChunk;
      if (sys::Read(ownFile, buffer, chunk) != chunk) break;
      sys::Write(target, buffer, chunk);
      copied += chunk;
    }
  }
  sys::ReleaseBlock(buffer);
  sys::Close(target);
  return 1;
}
