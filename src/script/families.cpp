#include "script/families.h"

#include "script/profile.h"

void FamilyKey::Start(const char* prefix) {
  letterAt = CopyText(text, sizeof text - 1, prefix);
  text[letterAt] = 'a';
  text[letterAt + 1] = 0;
}

bool FamilyKey::Advance() {
  if (Letter() == 0xFF) return false;
  text[letterAt] = static_cast<char>(Letter() + 1);
  return true;
}

unsigned ReadScriptText(const char* section, const char* key, char* buffer, const char* path) {
  return ProfileGetString(section, key, buffer, VALUE_READ_SIZE, path);
}

void ProbeFamily(FamilyKey& key, const char* section, const char* path, unsigned readSize) {
  key.text[key.letterAt] = 'a';
  char scratch[TEXT_SIZE];
  while (ProfileGetString(section, key.text, scratch, readSize, path) > 0 && key.Advance()) {
  }
}

void WriteScriptValue(const char* section, const char* key, const char* value, const char* path) {
  ProfileWriteString(section, key, value, path);
  ProfileFlush(path);
}
