// What the installation registers with the system outside its directory,
// and its removal: the product's uninstall entry, the settings keys, the
// RunOnce group conversion and the DLL (un)registration commands.
#pragma once

// Creates or opens keyPath under HKEY_LOCAL_MACHINE; sets the REG_SZ value
// name = text, or with remove set deletes the subkey name. Always 1.
int SetRegistryValue(const char* keyPath, const char* name, const char* text, bool remove);

// Writes the uninstall entry (DisplayName, UninstallString), or with remove
// set deletes it and the application's "settings" and "Recent File List" keys.
void RegisterProduct(bool remove);

// The RunOnce values "GrpConv" (and "Wrapper" when RunOnce has a "Setup"
// subkey), then starts "runonce -r". Nothing when RunOnce is missing.
void ScheduleGroupConversion();

// regsvr32 "dir\dll", started hidden without waiting.
void StartDllRegistration(const char* dir, const char* dllName);
// regsvr32 -u "path", started hidden without waiting.
void StartDllUnregistration(const char* dllPath);
