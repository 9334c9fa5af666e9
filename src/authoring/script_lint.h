// The setup script's linter: what the installer would do differently from
// what the script's author most likely meant, each problem on its line.
//
// Errors are what breaks the installation or silently drops something the
// script asks for: FileNum not matching the files, a link target or DLL that
// is not installed, a lettered family member after a gap (never read), a link
// without a shortcut file name, a missing AppName or DefDir, an AppName over
// 135 characters, a composed path over 255 characters, an "Uninstall"
// section in a payload script.
// Warnings are what works but is likely a slip: a key or section no step
// reads (a typo?), a duplicate key or section, a Copymode value other than
// 1, 2, 3 or 8, a Copymode entry no record takes, a number with trailing
// text, a value cut at 254 characters, an offer (Desk, QLaunch) with no link.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

enum class Severity { Warning, Error };

struct Diagnostic {
  unsigned line;  // 1-based
  Severity severity;
  std::string message;
};

// What is known about the payload the script travels with.
struct LintContext {
  std::optional<size_t> fileCount;                    // application files (records after the licence)
  std::optional<std::vector<std::string>> fileNames;  // their stored names, in payload order
};

// The problems found, ordered by line.
std::vector<Diagnostic> LintScript(std::string_view text, const LintContext& context);

// "file:line: error: message", as compilers write it.
std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic);

size_t CountOf(const std::vector<Diagnostic>& diagnostics, Severity severity);

}  // namespace authoring
