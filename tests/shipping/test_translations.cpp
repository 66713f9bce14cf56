// The translations a user gets: the build's compiled German translation and Qt's own,
// loaded as the program loads them at start.

#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

#include "controls/FieldEdit.h"
#include "ui/OrreryApp.h"

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void germanLocaleGetsGermanControlsAndButtons();
    void languageWithoutTranslationStaysEnglish();
};

namespace {

// The text a control shows assistive technology for a value out of range, and the
// caption of a standard Cancel button, in the language installed now.
QStringList ShownTexts()
{
    CFieldEdit edit;
    edit.SetOutOfRange(true);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    return {edit.accessibleDescription(), buttons.button(QDialogButtonBox::Cancel)->text()};
}

} // namespace

void TranslationsTest::germanLocaleGetsGermanControlsAndButtons()
{
    QTranslator program;
    QTranslator toolkit;
    QVERIFY(COrreryApp::InstallTranslations(QLocale(QLocale::German, QLocale::Austria), ORRERY_TRANSLATIONS_DIR,
                                            program, toolkit));
    const QStringList texts = ShownTexts();
    QCoreApplication::removeTranslator(&program);
    QCoreApplication::removeTranslator(&toolkit);
    QCOMPARE(texts, (QStringList{"Wert außerhalb des zulässigen Bereichs", "Abbrechen"}));
}

void TranslationsTest::languageWithoutTranslationStaysEnglish()
{
    QTranslator program;
    QTranslator toolkit;
    QVERIFY(!COrreryApp::InstallTranslations(QLocale(QLocale::French, QLocale::France), ORRERY_TRANSLATIONS_DIR,
                                             program, toolkit));
    QCOMPARE(ShownTexts(), (QStringList{"Value out of range", "Cancel"}));
}

QTEST_MAIN(TranslationsTest)
#include "test_translations.moc"
