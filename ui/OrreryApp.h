#pragma once

// The application: sets up the toolkit, the translations and the list skin, runs the
// main window modally and ends when it closes.

#include <QApplication>
#include <QTranslator>

class QLocale;

class COrreryApp {
public:
    COrreryApp(int& argc, char** argv);

    // Runs the main window; false, as the application ends with it.
    bool InitInstance();
    // InitInstance, then the exit code of the process.
    int Run();

    // Installs the program's translation for the locale from folder and, with it, Qt's
    // own (standard buttons, file dialogs), so the window speaks one language, and has
    // the string table's texts looked up through them. Without a translation of the
    // program for that language nothing is installed and the texts stay English. True
    // when the program's translation was found.
    static bool InstallTranslations(const QLocale& locale, const QString& folder, QTranslator& program,
                                    QTranslator& toolkit);

private:
    QApplication application;
    QTranslator programTranslator;
    QTranslator toolkitTranslator;
};
