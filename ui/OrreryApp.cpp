#include "ui/OrreryApp.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "controls/SkinListCtrl.h"
#include "editor/StringTable.h"
#include "ui/OrreryDlg.h"
#include "ui/ProgramInfo.h"

COrreryApp::COrreryApp(int& argc, char** argv) : application(argc, argv)
{
    QApplication::setApplicationName(QStringLiteral("orrery"));
    QApplication::setApplicationVersion(QString::fromUtf8(kProgramVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("orrery"));
    QApplication::setWindowIcon(ProgramIcon());
    // The program folder's translations/, beside the executable as the templates are.
    InstallTranslations(QLocale(), QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                        programTranslator, toolkitTranslator);
}

bool COrreryApp::InstallTranslations(const QLocale& locale, const QString& folder, QTranslator& program,
                                     QTranslator& toolkit)
{
    if (!program.load(locale, QStringLiteral("orrery"), QStringLiteral("_"), folder))
        return false;
    QCoreApplication::installTranslator(&program);
    // The string table's messages, menus and list texts ask the translators too.
    editor::SetTextLookup([](int, const char* sourceText) {
        return QCoreApplication::translate("StringTable", sourceText).toStdString();
    });
    if (toolkit.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkit);
    return true;
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
