#include "tests/controls/FieldNumericEditTest.h"
#include "tests/controls/SkinListAccessibleTest.h"
#include "tests/controls/SkinListCtrlTest.h"

#include <QApplication>
#include <QLocale>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The cases below are written for "-" and "."; one case switches locales itself.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    int failures = 0;
    {
        SkinListCtrlTest listTest;
        failures += QTest::qExec(&listTest, argc, argv);
    }
    {
        SkinListAccessibleTest accessibleTest;
        failures += QTest::qExec(&accessibleTest, argc, argv);
    }
    {
        FieldNumericEditTest editTest;
        failures += QTest::qExec(&editTest, argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
