#include "startup/command_tail.h"

#include "common/text.h"
#include "platform/platform.h"
#include "startup/state.h"

const char* CommandTail(const char* commandLine) {
  const auto* p = reinterpret_cast<const unsigned char*>(commandLine);
  if (*p == '"') {
    ++p;
    while (*p != 0 && *p != '"') {
      if (sys::IsLeadByte(*p) && p[1] != 0) ++p;
      ++p;
    }
    if (*p == '"') ++p;
  } else {
    while (*p > 0x20) ++p;
  }
  while (*p >= 0x01 && *p <= 0x20) ++p;
  return reinterpret_cast<const char*>(p);
}

bool IsUninstallerPath(const char* programPath) {
  return EndsWithNoCase(programPath, UNINSTALLER_NAME);
}
