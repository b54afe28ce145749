// kestrelix.exe: names the settings root, runs the main window modally, and ends when it
// closes. The window's end ends the engine's worker before its controls go.

#include <windows.h>

#include <commctrl.h>

#include "gui-win32/ModemSetupDlg.h"
#include "serial/ComNames.h"
#include "settings/RegistryStore.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The list view class of the layout is registered here.
    InitCommonControls();
    RegistryStore settings;
    settings.SetRoot(CompanyName);
    {
        ModemSetupDlg dialog(settings);
        dialog.DoModal();
    }
    return 0;
}
