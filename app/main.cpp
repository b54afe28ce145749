// kestrelix: names the settings root, runs the main window modally, and ends when it
// closes. The window's destruction ends the engine's worker before its controls go.

#include <QApplication>

#include "app/SettingsStore.h"
#include "ui/ModemSetupDlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SettingsStore settings;
    settings.SetRoot("Halvstad");
    {
        ModemSetupDlg dialog(settings);
        dialog.exec();
    }
    return 0;
}
