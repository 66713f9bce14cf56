// The window as a German user sees it: the real window with the build's German
// translation, Qt's own and the string table's lookup installed, as the program installs
// them at start. A program of its own, so no other window test runs in German.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>
#include <QtTest>

#include "controls/SkinListCtrl.h"
#include "editor/StringTable.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AboutDlg.h"
#include "ui/OrreryApp.h"
#include "ui/Resource.h"

class GermanWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowSpeaksGermanWithEveryCaptionWhole();

private:
    QTranslator program;
    QTranslator toolkit;
};

void GermanWindowTest::initTestCase()
{
    QVERIFY(COrreryApp::InstallTranslations(QLocale(QLocale::German, QLocale::Germany), ORRERY_TRANSLATIONS_DIR,
                                            program, toolkit));
}

void GermanWindowTest::cleanupTestCase()
{
    QCoreApplication::removeTranslator(&program);
    QCoreApplication::removeTranslator(&toolkit);
    editor::SetTextLookup({});
}

void GermanWindowTest::windowSpeaksGermanWithEveryCaptionWhole()
{
    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);

    const QString folder = QStringLiteral(ORRERY_TEST_OUTPUT);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/window-de.png");
    QFile::remove(path);
    QVERIFY(dialog->grab().save(path, "PNG"));

    // Captions from the layout, the lists' columns, the string table's selector texts
    // and menu entries, and a standard button of Qt's own.
    QCOMPARE(ItemOf<QPushButton>(*dialog, kIdcSave)->text(), QStringLiteral("&Speichern"));
    QCOMPARE(ItemOf<QRadioButton>(*dialog, kIdcAudioOnly)->text(), QStringLiteral("Nur &Audio"));
    auto* rates = ItemOf<CSkinListCtrl>(*dialog, kIdcFrameRates);
    QCOMPARE(rates->ColumnCaption(0), QStringLiteral("Standard"));
    QCOMPARE(rates->accessibleName(), QStringLiteral("Bildrate"));
    QCOMPARE(ComboTexts(ItemOf<QComboBox>(*dialog, kIdcEncodingMode)),
             (QStringList{"Schnell (1 Durchgang)", "Hohe Qualität (2 Durchgänge)"}));
    QCOMPARE(ComboTexts(ItemOf<QComboBox>(*dialog, kIdcFrameRateAdder)).value(0), QStringLiteral("Wie Quelle"));
    QCOMPARE(dialog->ProfileMenu()->actions().value(0)->text(), QStringLiteral("&Rückgängig"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    // Scripts find the window and the message boxes by their captions.
    QVERIFY2(dialog->windowTitle().endsWith(QStringLiteral("Kestro Orrery (1.0.0.1 Beta)")),
             qPrintable(dialog->windowTitle()));
    QCOMPARE(QString::fromStdString(editor::LoadString(editor::kIdsMessageCaption)), QStringLiteral("Kestro Orrery"));

    // Every caption fits its control, and no two visible ones share a mnemonic (the
    // list buttons go without one, as in English).
    QMap<QChar, QString> taken;
    int captions = 0;
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        else
            continue;
        if (!widget->isVisible() || text.isEmpty())
            continue;
        ++captions;
        QVERIFY2(widget->sizeHint().width() <= widget->width(),
                 qPrintable(QStringLiteral("%1 needs %2 pixels, has %3")
                                .arg(text)
                                .arg(widget->sizeHint().width())
                                .arg(widget->width())));
        const QChar letter = Mnemonic(text);
        if (letter.isNull())
            continue;
        QVERIFY2(!taken.contains(letter), qPrintable(text + " and " + taken.value(letter)));
        taken.insert(letter, text);
    }
    QCOMPARE(taken.size(), 22);
    QVERIFY(captions > taken.size());

    // The About box's fixed lines hold their German texts whole.
    CAboutDlg about(dialog.get());
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.windowTitle(), QStringLiteral("Über Kestro Orrery"));
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
    }
}

QTEST_MAIN(GermanWindowTest)
#include "test_window_german.moc"
