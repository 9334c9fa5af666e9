// The host registry: keys and values held in memory and stored as a
// REGEDIT4 export, the format of regedit and of Wine's own files, so it can
// be read, diffed and imported.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

class RegistryFile {
 public:
  // Key paths are full ("HKEY_LOCAL_MACHINE\Software\..."), matched without
  // regard to case; a trailing backslash is ignored, as the system does.
  bool Load(const std::filesystem::path& file);
  void Save(const std::filesystem::path& file) const;
  std::string Text() const;

  bool KeyExists(std::string_view path) const;
  bool HasSubkeys(std::string_view path) const;
  // Creates the key and every missing parent; keeps the case of new names.
  void CreateKey(std::string_view path);
  // Deletes a key without subkeys; false when it is missing or has subkeys.
  bool DeleteKey(std::string_view path);
  // REG_SZ values; name "" is the key's default value.
  bool SetText(std::string_view path, std::string_view name, std::string_view text);
  std::optional<std::string> GetText(std::string_view path, std::string_view name) const;
  std::vector<std::string> ValueNames(std::string_view path) const;
  std::vector<std::string> KeyPaths() const;

 private:
  struct Value {
    std::string name;
    std::string text;  // REG_SZ text, or the raw right-hand side of another type
    bool isText = true;
  };
  struct Key {
    std::string path;
    std::vector<Value> values;
  };
  static std::string Normalise(std::string_view path);
  static std::string Fold(std::string_view text);
  std::map<std::string, Key> keys_;  // by folded path
};

}  // namespace host
