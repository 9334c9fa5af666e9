#include "authoring/stored_names.h"

#include "authoring/script_text.h"

namespace authoring {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A component that Windows trims to ".." or "." (trailing dots and blanks go).
bool OnlyDotsAndBlanks(std::string_view component) {
  return component.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

std::vector<std::string_view> NameComponents(std::string_view name) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || IsSeparator(name[i])) {
      parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::optional<std::string> NameProblem(std::string_view name) {
  if (name.empty()) return "the name is empty";
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return "the name holds a control character";
  }
  if (IsSeparator(name.front())) return "the name starts with a separator: it is absolute";
  if (name.size() >= 2 && name[1] == ':') return "the name starts with a drive";
  if (name.find_first_of(":*?\"<>|") != std::string_view::npos) {
    return "the name holds a character Windows refuses in file names (: * ? \" < > |)";
  }
  for (std::string_view part : NameComponents(name)) {
    if (part.empty()) return "the name has an empty component";
    if (part.find("..") != std::string_view::npos && OnlyDotsAndBlanks(part)) {
      return "the name has a \"..\" component: it leaves the installation directory";
    }
    if (OnlyDotsAndBlanks(part)) return "the name has a \".\" component";
  }
  return std::nullopt;
}

bool SameStoredName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsSeparator(a[i]) && IsSeparator(b[i])) continue;
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

std::vector<NameSetProblem> StoredNameSetProblems(const std::vector<std::string>& names) {
  std::vector<NameSetProblem> problems;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    if (auto problem = NameProblem(name)) problems.push_back({i, *problem});
    for (size_t j = 0; j < i; ++j) {
      if (SameStoredName(names[j], name)) {
        problems.push_back({i, "the same name as \"" + names[j] + "\" before it; the later file would replace it"});
        break;
      }
    }
    for (std::string_view own : {INSTALLED_LICENSE_NAME, INSTALLED_SCRIPT_NAME}) {
      if (SameStoredName(name, own)) {
        problems.push_back({i, "the installer writes its own " + std::string(own) +
                                  " into the installation directory over it; store it under another name"});
      }
    }
  }
  return problems;
}

}  // namespace authoring
