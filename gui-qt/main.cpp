// kestrelix: names the settings root, runs the main window modally, and ends when it
// closes. The window's destruction ends the engine's worker before its controls go.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "settings/SettingsStore.h"
#include "serial/ComNames.h"
#include "gui-qt/ModemSetupDlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The operators read Russian whatever the machine's locale: Qt's own dialogs and
    // questions (the save dialog, its overwrite question) must speak it too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    SettingsStore settings;
    settings.SetRoot(CompanyName);
    {
        ModemSetupDlg dialog(settings);
        dialog.exec();
    }
    return 0;
}
