#include "platform/host/registry_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace host {
namespace {

std::string EscapeText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// Reads a quoted string at text[pos] (pos on the opening quote); advances pos
// past the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '\\' && pos + 1 < text.size()) {
      out += text[++pos];
    } else if (c == '"') {
      ++pos;
      return out;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string RegistryFile::Fold(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

std::string RegistryFile::Normalise(std::string_view path) {
  std::string out(path);
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

bool RegistryFile::Load(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  keys_.clear();
  std::string line, pending;
  Key* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Hex data continues on the next line after a closing backslash.
    if (!line.empty() && line.back() == '\\' && line.front() != '[') {
      pending += line.substr(0, line.size() - 1);
      continue;
    }
    if (!pending.empty()) {
      line = pending + line;
      pending.clear();
    }
    if (line.empty() || line == "REGEDIT4" || line.front() == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      std::string path = Normalise(line.substr(1, line.size() - 2));
      CreateKey(path);
      current = &keys_[Fold(path)];
      continue;
    }
    if (current == nullptr) continue;
    size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
      pos = 1;
    } else {
      auto quoted = ReadQuoted(line, pos);
      if (!quoted) continue;
      name = *quoted;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    Value value{name, {}, true};
    if (pos < line.size() && line[pos] == '"') {
      auto text = ReadQuoted(line, pos);
      if (!text) continue;
      value.text = *text;
    } else {
      value.text = line.substr(pos);
      value.isText = false;
    }
    current->values.push_back(std::move(value));
  }
  return true;
}

std::string RegistryFile::Text() const {
  std::ostringstream out;
  out << "REGEDIT4\r\n";
  for (const auto& [folded, key] : keys_) {
    out << "\r\n[" << key.path << "]\r\n";
    for (const Value& value : key.values) {
      if (value.name.empty()) {
        out << "@=";
      } else {
        out << '"' << EscapeText(value.name) << "\"=";
      }
      if (value.isText) {
        out << '"' << EscapeText(value.text) << '"';
      } else {
        out << value.text;
      }
      out << "\r\n";
    }
  }
  out << "\r\n";
  return out.str();
}

void RegistryFile::Save(const std::filesystem::path& file) const {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << Text();
}

bool RegistryFile::KeyExists(std::string_view path) const {
  return keys_.count(Fold(Normalise(path))) != 0;
}

bool RegistryFile::HasSubkeys(std::string_view path) const {
  std::string prefix = Fold(Normalise(path)) + "\\";
  auto it = keys_.lower_bound(prefix);
  return it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

void RegistryFile::CreateKey(std::string_view path) {
  std::string full = Normalise(path);
  size_t pos = 0;
  while (true) {
    size_t next = full.find('\\', pos);
    std::string prefix = full.substr(0, next);
    std::string folded = Fold(prefix);
    // The hive itself (the first component) is not a key of its own.
    if (next != std::string::npos && pos == 0) {
      pos = next + 1;
      continue;
    }
    if (!prefix.empty() && keys_.count(folded) == 0) keys_[folded] = Key{prefix, {}};
    if (next == std::string::npos) break;
    pos = next + 1;
  }
}

bool RegistryFile::DeleteKey(std::string_view path) {
  std::string folded = Fold(Normalise(path));
  if (keys_.count(folded) == 0 || HasSubkeys(path)) return false;
  keys_.erase(folded);
  return true;
}

bool RegistryFile::SetText(std::string_view path, std::string_view name, std::string_view text) {
  auto it = keys_.find(Fold(Normalise(path)));
  if (it == keys_.end()) return false;
  std::string foldedName = Fold(name);
  for (Value& value : it->second.values) {
    if (Fold(value.name) == foldedName) {
      value.text = std::string(text);
      value.isText = true;
      return true;
    }
  }
  it->second.values.push_back(Value{std::string(name), std::string(text), true});
  return true;
}

std::optional<std::string> RegistryFile::GetText(std::string_view path, std::string_view name) const {
  auto it = keys_.find(Fold(Normalise(path)));
  if (it == keys_.end()) return std::nullopt;
  std::string foldedName = Fold(name);
  for (const Value& value : it->second.values) {
    if (value.isText && Fold(value.name) == foldedName) return value.text;
  }
  return std::nullopt;
}

std::vector<std::string> RegistryFile::ValueNames(std::string_view path) const {
  std::vector<std::string> names;
  auto it = keys_.find(Fold(Normalise(path)));
  if (it != keys_.end()) {
    for (const Value& value : it->second.values) names.push_back(value.name);
  }
  return names;
}

std::vector<std::string> RegistryFile::KeyPaths() const {
  std::vector<std::string> paths;
  for (const auto& [folded, key] : keys_) paths.push_back(key.path);
  return paths;
}

}  // namespace host
