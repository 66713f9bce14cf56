#include "ui/OrreryApp.h"

#include "controls/SkinListCtrl.h"
#include "ui/OrreryDlg.h"
#include "ui/ProgramInfo.h"

COrreryApp::COrreryApp(int& argc, char** argv) : application(argc, argv)
{
    QApplication::setApplicationName(QStringLiteral("orrery"));
    QApplication::setApplicationVersion(QString::fromUtf8(kProgramVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("orrery"));
    QApplication::setWindowIcon(ProgramIcon());
}

bool COrreryApp::InitInstance()
{
    // The lists' colours are fixed before the first list exists.
    CSkinListCtrl::SetSkinColours(SkinListColours{});

    COrreryDlg dialog;
    dialog.DoModal();
    return false;
}

int COrreryApp::Run()
{
    InitInstance();
    return 0;
}
