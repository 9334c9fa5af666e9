// The uninstall sequence, driven by the log in the script at ScriptPath.
#pragma once

// Confirms, then removes what the log names: 1 when the sequence ran to its
// end, 0 when the user declined or the error box was shown.
int RunUninstall();

// The closing report, built in AppName after RunUninstall returned 1.
void ShowUninstallReport();

// "Uninstall error!  Unable to uninstall!"
void ShowUninstallError();
