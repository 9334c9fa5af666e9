#include "uninstall/uninstall.h"

#include "platform/platform.h"

int RunUninstall() { return 0; }

void ShowUninstallReport() {}

void ShowUninstallError() {
  sys::ShowMessage(nullptr, "Uninstall error!  Unable to uninstall!", "Uninstall", sys::BOX_ICON_ERROR);
}
