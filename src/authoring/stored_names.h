// Rules for the names records are stored under: relative paths below the
// installation directory, "\" between directories ("/" counts as one too).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace authoring {

// Why a record name cannot be written below a directory, or nothing when it
// can: empty, control characters, characters Windows refuses in file names,
// absolute, a drive, a leading separator, a ".." component (or one of dots
// and blanks that Windows would read as ".."), an empty or "." component.
std::optional<std::string> NameProblem(std::string_view name);

// The name's components, split at "\" and "/".
std::vector<std::string_view> NameComponents(std::string_view name);

// Two stored names that Windows would take for the same file.
bool SameStoredName(std::string_view a, std::string_view b);

// Names that the installer places itself in the installation directory: an
// application file stored there under one of them is replaced.
inline constexpr std::string_view INSTALLED_LICENSE_NAME = "License.txt";
inline constexpr std::string_view INSTALLED_SCRIPT_NAME = "Uninstal.inf";

// Problems of the application files' stored names as a set: each name's own
// problem, duplicates, and names the installer takes for itself. index is
// the name's position in names.
struct NameSetProblem {
  size_t index;
  std::string message;
};
std::vector<NameSetProblem> StoredNameSetProblems(const std::vector<std::string>& names);

}  // namespace authoring
