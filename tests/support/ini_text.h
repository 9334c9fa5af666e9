// Reading INI text in tests: the entries of one section in file order.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

using Entries = std::vector<std::pair<std::string, std::string>>;

Entries SectionEntries(const std::string& text, const std::string& section);

}  // namespace testing_support
