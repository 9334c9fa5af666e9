#include "startup/state.h"

SetupState Setup;

namespace {
char* SetupState::*const kTexts[] = {
    &SetupState::WorkDir,    &SetupState::AppName,    &SetupState::AppBy,       &SetupState::ScratchText,
    &SetupState::SetupTitle, &SetupState::ScriptPath, &SetupState::LicensePath, &SetupState::RunTarget,
};
}  // namespace

bool TakeStateTexts() {
  for (auto field : kTexts) {
    char* text = static_cast<char*>(sys::TakeBlock(TEXT_SIZE));
    if (text == nullptr) {
      ReleaseStateTexts();
      return false;
    }
    text[0] = 0;
    Setup.*field = text;
  }
  return true;
}

void ReleaseStateTexts() {
  for (auto field : kTexts) {
    sys::ReleaseBlock(Setup.*field);
    Setup.*field = nullptr;
  }
  Setup = SetupState{};
}
