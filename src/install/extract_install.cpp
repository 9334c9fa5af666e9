#include "payload/extract.h"

InstallTarget SettleInstallTarget(const payload::RecordView&, char*, const char*) { return InstallTarget::Refuse; }

int CopyUninstaller(sys::File, uint32_t, const char*) { return 1; }
