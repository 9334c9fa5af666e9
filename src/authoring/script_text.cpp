#include "authoring/script_text.h"

namespace authoring {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

ScriptText ParseScript(std::string_view text) {
  ScriptText script;
  unsigned lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') continue;
    if (t.front() == '[') {
      size_t close = t.find(']');
      std::string_view name = t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
      script.sections.push_back({std::string(Trim(name)), lineNumber, {}});
      continue;
    }
    if (script.sections.empty()) {
      script.linesBeforeAnySection.push_back(lineNumber);
      continue;
    }
    size_t equals = t.find('=');
    std::string_view key = Trim(t.substr(0, equals));
    std::string_view value = equals == std::string_view::npos ? std::string_view{} : Trim(t.substr(equals + 1));
    script.sections.back().entries.push_back({std::string(key), std::string(StripQuotes(value)), lineNumber});
  }
  return script;
}

const ScriptSection* ScriptText::Section(std::string_view name) const {
  for (const ScriptSection& section : sections) {
    if (EqualNoCase(section.name, name)) return &section;
  }
  return nullptr;
}

const ScriptEntry* ScriptText::Find(std::string_view section, std::string_view key) const {
  const ScriptSection* found = Section(section);
  if (found == nullptr) return nullptr;
  for (const ScriptEntry& entry : found->entries) {
    if (EqualNoCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

std::string ScriptText::Value(std::string_view section, std::string_view key) const {
  const ScriptEntry* entry = Find(section, key);
  return entry != nullptr ? entry->value : std::string();
}

int ReadScriptInt(const ScriptText& script, std::string_view section, std::string_view key, int defaultValue) {
  std::string value = script.Value(section, key);
  if (value.empty()) return defaultValue;
  size_t i = 0;
  bool negative = false;
  if (value[0] == '-' || value[0] == '+') negative = value[i++] == '-';
  long long result = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    result = result * 10 + (value[i] - '0');
    if (result > 0x7FFFFFFF) result = 0x7FFFFFFF;
  }
  return static_cast<int>(negative ? -result : result);
}

}  // namespace authoring
