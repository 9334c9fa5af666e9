// A setup script read the way the installer's profile service reads it, but
// keeping every section and key with its line number, for the linter.
//
// Rules kept from the service: a line whose first non-blank character is "["
// opens a section (its name runs to "]" or the line's end); ";" starts a
// comment line; any other non-blank line is a key, named by the text before
// its first "=" (a line without "=" is a key with an empty value). Names and
// values are trimmed of blanks and tabs, one pair of matching outer quotes is
// stripped from a value, and names match without regard to letter case. The
// first of duplicate sections and keys is the one that is read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace authoring {

struct ScriptEntry {
  std::string key;
  std::string value;  // as a read returns it before any cut: trimmed, quotes stripped
  unsigned line;      // 1-based
};

struct ScriptSection {
  std::string name;
  unsigned line;
  std::vector<ScriptEntry> entries;  // in file order, duplicates included
};

struct ScriptText {
  std::vector<ScriptSection> sections;  // in file order, duplicates included
  std::vector<unsigned> linesBeforeAnySection;  // key lines no section holds

  // The first section of that name, which is the one every read sees.
  const ScriptSection* Section(std::string_view name) const;
  // The first entry of that key in the first section of that name.
  const ScriptEntry* Find(std::string_view section, std::string_view key) const;
  // The value a read returns, empty when the key is missing.
  std::string Value(std::string_view section, std::string_view key) const;
};

ScriptText ParseScript(std::string_view text);

bool EqualNoCase(std::string_view a, std::string_view b);
char FoldAscii(char c);

// The profile service's integer read: the leading decimal number with an
// optional sign, 0 when there is none; missing or empty gives the default.
int ReadScriptInt(const ScriptText& script, std::string_view section, std::string_view key, int defaultValue);

}  // namespace authoring
