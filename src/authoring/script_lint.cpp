#include "authoring/script_lint.h"

#include <algorithm>
#include <array>
#include <map>

#include "authoring/script_text.h"
#include "authoring/stored_names.h"

namespace authoring {
namespace {

constexpr size_t kReadLimit = 254;     // characters a text read returns at most
constexpr size_t kPathLimit = 255;     // characters of a composed path
constexpr size_t kAppNameLimit = 135;  // three copies in the 511-character closing question
constexpr std::string_view kProgramFiles = "C:\\Program Files\\";

constexpr std::string_view kInstall = "Install";
constexpr std::string_view kLinks = "Links";
constexpr std::string_view kCopymode = "Copymode";
constexpr std::string_view kUninstall = "Uninstall";

constexpr std::array<std::string_view, 9> kInstallKeys = {"DefDir",  "AppName", "AppFile", "AppBy",  "CompReg",
                                                          "VerNum",  "FileNum", "Desk",    "QLaunch"};

struct FamilyName {
  std::string_view section;
  std::string_view prefix;
};
constexpr std::array<FamilyName, 5> kFamilies = {{
    {kInstall, "dll"},
    {kLinks, "link"},
    {kLinks, "linkfile"},
    {kLinks, "Desc"},
    {kCopymode, "file"},
}};

std::string Letter(unsigned char letter) { return std::string(1, static_cast<char>(letter)); }

// The letter of a family key ("dllb" -> 'b'), or nothing.
std::optional<unsigned char> FamilyLetter(std::string_view key, std::string_view prefix) {
  if (key.size() != prefix.size() + 1 || !EqualNoCase(key.substr(0, prefix.size()), prefix)) return std::nullopt;
  auto letter = static_cast<unsigned char>(FoldAscii(key.back()));
  if (letter < 'a') return std::nullopt;
  return letter;
}

size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      size_t change = diagonal + (FoldAscii(a[i - 1]) == FoldAscii(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, change});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// " (did you mean X?)" for the nearest candidate within two edits.
std::string Suggestion(std::string_view word, const std::vector<std::string>& candidates) {
  size_t best = 3;
  std::string found;
  for (const std::string& candidate : candidates) {
    size_t distance = EditDistance(word, candidate);
    if (distance < best) {
      best = distance;
      found = candidate;
    }
  }
  return found.empty() || word.size() < 3 ? std::string() : " (did you mean \"" + found + "\"?)";
}

struct Linter {
  const ScriptText& script;
  const LintContext& context;
  std::vector<Diagnostic> out;

  void Error(unsigned line, std::string message) { out.push_back({line, Severity::Error, std::move(message)}); }
  void Warn(unsigned line, std::string message) { out.push_back({line, Severity::Warning, std::move(message)}); }

  // Where a problem with a missing key is reported: the key's own line when
  // it is there but empty, else the section's header, else line 1.
  unsigned LineOf(std::string_view section, std::string_view key) const {
    if (const ScriptEntry* entry = script.Find(section, key)) return entry->line;
    if (const ScriptSection* found = script.Section(section)) return found->line;
    return 1;
  }

  // The default installation directory, cut as the installer reads DefDir.
  std::string InstallDir() const {
    return std::string(kProgramFiles) + script.Value(kInstall, "DefDir").substr(0, kReadLimit);
  }

  // Application files, from the caller or else from FileNum.
  std::optional<size_t> FileCount() const {
    if (context.fileCount) return context.fileCount;
    if (context.fileNames) return context.fileNames->size();
    int fileNum = ReadScriptInt(script, kInstall, "FileNum", 0);
    return fileNum > 0 ? std::optional<size_t>(static_cast<size_t>(fileNum)) : std::nullopt;
  }
};

// The members of a family in the first section of its name, first of
// duplicates winning.
std::map<unsigned char, const ScriptEntry*> Members(const ScriptText& script, std::string_view section,
                                                    std::string_view prefix) {
  std::map<unsigned char, const ScriptEntry*> members;
  if (const ScriptSection* found = script.Section(section)) {
    for (const ScriptEntry& entry : found->entries) {
      if (auto letter = FamilyLetter(entry.key, prefix)) members.emplace(*letter, &entry);
    }
  }
  return members;
}

// The first letter whose value is missing or empty: where a walk stops.
unsigned char WalkEnd(const std::map<unsigned char, const ScriptEntry*>& members) {
  unsigned char letter = 'a';
  for (auto it = members.find(letter); it != members.end() && !it->second->value.empty() && letter < 0xFF;
       it = members.find(letter)) {
    ++letter;
  }
  return letter;
}

void ReportNeverRead(Linter& lint, const std::map<unsigned char, const ScriptEntry*>& members, unsigned char end,
                     std::string_view walked, std::string_view prefix) {
  for (const auto& [letter, entry] : members) {
    if (letter <= end || entry->value.empty()) continue;
    lint.Error(entry->line, "\"" + entry->key + "\" is never read: the " + std::string(walked) +
                                " keys are read from \"a\" and stop at \"" + std::string(walked) + Letter(end) +
                                "\", which is missing or empty; number the " + std::string(prefix) +
                                " keys without a gap");
  }
}

void CheckSections(Linter& lint) {
  const ScriptText& script = lint.script;
  for (unsigned line : script.linesBeforeAnySection) lint.Warn(line, "a key outside any section is never read");
  std::vector<std::string> known = {std::string(kInstall), std::string(kLinks), std::string(kCopymode)};
  for (const ScriptSection& section : script.sections) {
    const ScriptSection* first = script.Section(section.name);
    if (first != &section) {
      lint.Warn(section.line, "a second [" + section.name + "] section is never read; the first, at line " +
                                  std::to_string(first->line) + ", is");
      continue;
    }
    if (EqualNoCase(section.name, kUninstall)) {
      lint.Error(section.line,
                 "a payload script must not have an [Uninstall] section: the installer writes its log there, and "
                 "entries already present shift every new entry and the copy-mode letters");
      continue;
    }
    bool isKnown = std::any_of(known.begin(), known.end(), [&](const std::string& k) { return EqualNoCase(k, section.name); });
    if (!isKnown) {
      lint.Warn(section.line, "section [" + section.name + "] is not read by the installer" +
                                  Suggestion(section.name, known));
    }
  }
}

bool IsKnownKey(std::string_view section, std::string_view key) {
  if (EqualNoCase(section, kInstall)) {
    for (std::string_view name : kInstallKeys) {
      if (EqualNoCase(name, key)) return true;
    }
  }
  for (const FamilyName& family : kFamilies) {
    if (EqualNoCase(section, family.section) && FamilyLetter(key, family.prefix)) return true;
  }
  return false;
}

std::vector<std::string> KnownKeyNames(std::string_view section) {
  std::vector<std::string> names;
  if (EqualNoCase(section, kInstall)) names.assign(kInstallKeys.begin(), kInstallKeys.end());
  for (const FamilyName& family : kFamilies) {
    if (EqualNoCase(section, family.section)) names.push_back(std::string(family.prefix) + "a");
  }
  return names;
}

void CheckKeys(Linter& lint) {
  for (std::string_view name : {kInstall, kLinks, kCopymode}) {
    const ScriptSection* section = lint.script.Section(name);
    if (section == nullptr) continue;
    std::map<std::string, unsigned> seen;
    for (const ScriptEntry& entry : section->entries) {
      std::string folded;
      for (char c : entry.key) folded += FoldAscii(c);
      auto [it, fresh] = seen.emplace(folded, entry.line);
      if (!fresh) {
        lint.Warn(entry.line, "\"" + entry.key + "\" is set again; the first, at line " + std::to_string(it->second) +
                                  ", is the one read");
        continue;
      }
      if (!IsKnownKey(name, entry.key)) {
        lint.Warn(entry.line, "\"" + entry.key + "\" in [" + section->name + "] is not read by the installer" +
                                  Suggestion(entry.key, KnownKeyNames(name)));
      } else if (entry.value.size() > kReadLimit) {
        lint.Warn(entry.line, "\"" + entry.key + "\" has " + std::to_string(entry.value.size()) +
                                  " characters; the installer reads the first 254");
      }
    }
  }
}

void CheckInstallTexts(Linter& lint) {
  for (std::string_view key : {"AppName", "DefDir"}) {
    if (lint.script.Value(kInstall, key).empty()) {
      lint.Error(lint.LineOf(kInstall, key), "[Install] has no \"" + std::string(key) + "\"; set it");
    }
  }
  std::string appName = lint.script.Value(kInstall, "AppName");
  if (appName.size() > kAppNameLimit) {
    lint.Error(lint.LineOf(kInstall, "AppName"),
               "\"AppName\" has " + std::to_string(appName.size()) +
                   " characters; the closing question holds it three times and allows at most 135");
  }
  std::string dir = lint.InstallDir();
  if (dir.size() > kPathLimit) {
    lint.Error(lint.LineOf(kInstall, "DefDir"), "the default directory \"" + dir.substr(0, 40) + "...\" has " +
                                                    std::to_string(dir.size()) + " characters; paths allow 255");
  }
}

bool IsPlainNumber(std::string_view value) {
  if (!value.empty() && (value[0] == '-' || value[0] == '+')) value.remove_prefix(1);
  return !value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos;
}

void CheckNumbers(Linter& lint) {
  for (std::string_view key : {"FileNum", "Desk", "QLaunch"}) {
    const ScriptEntry* entry = lint.script.Find(kInstall, key);
    if (entry != nullptr && !entry->value.empty() && !IsPlainNumber(entry->value)) {
      lint.Warn(entry->line, "\"" + entry->key + "\" is \"" + entry->value + "\", which is read as " +
                                 std::to_string(ReadScriptInt(lint.script, kInstall, key, 0)));
    }
  }
}

void CheckFileNum(Linter& lint) {
  int fileNum = ReadScriptInt(lint.script, kInstall, "FileNum", 0);
  unsigned line = lint.LineOf(kInstall, "FileNum");
  size_t installed = fileNum > 0 ? static_cast<size_t>(fileNum) : 0;
  // Every file, the licence, the log and each shortcut take one letter of
  // the log's file family, and the letters run from 'a' to 0xFF.
  auto links = Members(lint.script, kLinks, "link");
  size_t linkCount = WalkEnd(links) - 'a';
  size_t logged = installed + 2 + linkCount;
  for (std::string_view offer : {"Desk", "QLaunch"}) {
    logged += linkCount > 0 && ReadScriptInt(lint.script, kInstall, offer, 0) != 0;
  }
  constexpr size_t kLetters = 0xFF - 'a' + 1;
  if (logged > kLetters) {
    lint.Error(line, "the installation would log " + std::to_string(logged) + " files, but the uninstall log holds " +
                         std::to_string(kLetters) + " (letters a to 0xFF): the last ones would not be removed");
  }
  std::optional<size_t> files = lint.context.fileCount;
  if (!files && lint.context.fileNames) files = lint.context.fileNames->size();
  if (!files) {
    if (installed == 0) lint.Warn(line, "\"FileNum\" is missing or not above 0: no application file is installed");
    return;
  }
  if (installed > *files) {
    lint.Error(line, "\"FileNum\" is " + std::to_string(installed) + " but " + std::to_string(*files) +
                         " files are packed: the installation fails with \"Setup Error!\"; set FileNum=" +
                         std::to_string(*files));
  } else if (installed < *files) {
    lint.Error(line, "\"FileNum\" is " + std::to_string(installed) + " but " + std::to_string(*files) +
                         " files are packed: the last " + std::to_string(*files - installed) +
                         " would never be installed; set FileNum=" + std::to_string(*files));
  }
}

// Where an installed name would be found among the application files.
struct Lookup {
  bool found;
  bool windowsDirectory;  // Copymode 8 puts it there instead
};

Lookup FindInstalled(const Linter& lint, std::string_view name) {
  for (std::string_view own : {INSTALLED_LICENSE_NAME, INSTALLED_SCRIPT_NAME}) {
    if (SameStoredName(name, own)) return {true, false};
  }
  const std::vector<std::string>& names = *lint.context.fileNames;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!SameStoredName(name, names[i])) continue;
    bool windows = false;
    if (i < 0xFF - 'a') {
      std::string key = "file" + Letter(static_cast<unsigned char>('a' + i));
      windows = ReadScriptInt(lint.script, kCopymode, key, 1) == 8;
    }
    return {true, windows};
  }
  return {false, false};
}

// A name relative to the installation directory: its path length, and
// whether it is among the files when they are known.
void CheckInstalledName(Linter& lint, const ScriptEntry& entry, std::string_view what) {
  std::string value = entry.value.substr(0, kReadLimit);
  size_t length = lint.InstallDir().size() + 1 + value.size();
  if (length > kPathLimit) {
    lint.Error(entry.line, "the " + std::string(what) + " path \"" + entry.value.substr(0, 40) + "...\" has " +
                               std::to_string(length) + " characters under the default directory; paths allow 255");
  }
  if (!lint.context.fileNames) return;
  Lookup lookup = FindInstalled(lint, value);
  if (!lookup.found) {
    lint.Error(entry.line, "the " + std::string(what) + " \"" + value + "\" (\"" + entry.key +
                               "\") is not among the packed files; add it or correct the name");
  } else if (lookup.windowsDirectory) {
    lint.Error(entry.line, "the " + std::string(what) + " \"" + value + "\" (\"" + entry.key +
                               "\") goes to the Windows directory (Copymode 8), not the installation directory");
  }
}

void CheckDlls(Linter& lint) {
  auto dlls = Members(lint.script, kInstall, "dll");
  unsigned char end = WalkEnd(dlls);
  ReportNeverRead(lint, dlls, end, "dll", "dll");
  for (const auto& [letter, entry] : dlls) {
    if (letter < end) CheckInstalledName(lint, *entry, "DLL");
  }
}

void CheckLinks(Linter& lint) {
  auto links = Members(lint.script, kLinks, "link");
  auto files = Members(lint.script, kLinks, "linkfile");
  auto descriptions = Members(lint.script, kLinks, "Desc");
  unsigned char end = WalkEnd(links);
  ReportNeverRead(lint, links, end, "link", "link");
  ReportNeverRead(lint, files, end, "link", "linkfile");
  ReportNeverRead(lint, descriptions, end, "link", "Desc");
  for (const auto& [letter, entry] : links) {
    if (letter >= end) continue;
    CheckInstalledName(lint, *entry, "link target");
    auto file = files.find(letter);
    if (file == files.end() || file->second->value.empty()) {
      lint.Error(entry->line, "\"" + entry->key + "\" has no \"linkfile" + Letter(letter) +
                                  "\": the shortcut gets no file name and is not made; set one such as \"Tool.LNK\"");
    }
  }
  if (end == 'a') {
    for (std::string_view offer : {"Desk", "QLaunch"}) {
      if (ReadScriptInt(lint.script, kInstall, offer, 0) != 0) {
        lint.Warn(lint.LineOf(kInstall, offer), "\"" + std::string(offer) + "\" offers a shortcut to the first link, "
                                                "but [Links] has no \"linka\"");
      }
    }
  }
}

void CheckCopymode(Linter& lint) {
  std::optional<size_t> count = lint.FileCount();
  for (const auto& [letter, entry] : Members(lint.script, kCopymode, "file")) {
    int mode = ReadScriptInt(lint.script, kCopymode, entry->key, 1);
    if (mode != 1 && mode != 2 && mode != 3 && mode != 8) {
      lint.Warn(entry->line, "\"" + entry->key + "\" is " + std::to_string(mode) +
                                 ", which overwrites like 1; the modes are 1 overwrite, 2 ask, 3 keep, "
                                 "8 into the Windows directory");
    }
    if (count && letter - 'a' >= static_cast<int>(*count)) {
      lint.Warn(entry->line, "\"" + entry->key + "\" is never read: no application file takes letter \"" +
                                 Letter(letter) + "\" (there are " + std::to_string(*count) + ")");
    }
  }
}

void CheckRecordPaths(Linter& lint) {
  if (!lint.context.fileNames) return;
  size_t dir = lint.InstallDir().size();
  for (const std::string& name : *lint.context.fileNames) {
    if (dir + 1 + name.size() > kPathLimit) {
      lint.Error(lint.LineOf(kInstall, "DefDir"),
                 "the file \"" + name + "\" has a path of " + std::to_string(dir + 1 + name.size()) +
                     " characters under the default directory; paths allow 255: shorten DefDir or the name");
    }
  }
}

using Check = void (*)(Linter&);
constexpr Check kChecks[] = {
    CheckSections, CheckKeys, CheckInstallTexts, CheckNumbers, CheckFileNum,
    CheckDlls,     CheckLinks, CheckCopymode,    CheckRecordPaths,
};

}  // namespace

std::vector<Diagnostic> LintScript(std::string_view text, const LintContext& context) {
  ScriptText script = ParseScript(text);
  Linter lint{script, context, {}};
  for (Check check : kChecks) check(lint);
  std::stable_sort(lint.out.begin(), lint.out.end(),
                   [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
  return std::move(lint.out);
}

std::string FormatDiagnostic(std::string_view file, const Diagnostic& diagnostic) {
  return std::string(file) + ":" + std::to_string(diagnostic.line) + ": " +
         (diagnostic.severity == Severity::Error ? "error" : "warning") + ": " + diagnostic.message;
}

size_t CountOf(const std::vector<Diagnostic>& diagnostics, Severity severity) {
  return static_cast<size_t>(std::count_if(diagnostics.begin(), diagnostics.end(),
                                           [&](const Diagnostic& d) { return d.severity == severity; }));
}

}  // namespace authoring
