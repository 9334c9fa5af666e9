#pragma once

// The part of a full command line after the program name: a quoted program
// name ends at its closing quote (a double-byte character never ends it),
// an unquoted one at the first character up to 0x20; the blanks and control
// characters after it are skipped. Quotes inside the rest stay.
const char* CommandTail(const char* commandLine);

// True when the program's own path selects uninstall mode: its last twelve
// characters equal the uninstaller's name, in any letter case.
bool IsUninstallerPath(const char* programPath);
