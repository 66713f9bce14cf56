#pragma once

// The application: sets up the toolkit and the list skin, runs the main window
// modally and ends when it closes.

#include <QApplication>

class COrreryApp {
public:
    COrreryApp(int& argc, char** argv);

    // Runs the main window; false, as the application ends with it.
    bool InitInstance();
    // InitInstance, then the exit code of the process.
    int Run();

private:
    QApplication application;
};
