#include "ini_text.h"

#include <sstream>

namespace testing_support {

Entries SectionEntries(const std::string& text, const std::string& section) {
  Entries entries;
  std::istringstream in(text);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    size_t equals = line.find('=');
    if (inside && equals != std::string::npos) entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return entries;
}

}  // namespace testing_support
