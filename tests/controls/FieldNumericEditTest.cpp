#include "tests/controls/FieldNumericEditTest.h"

#include "controls/FieldNumericEdit.h"
#include "controls/SkinListCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A shown, focused 9.4 numeric edit as the editor builds it.
struct EditFixture {
    std::unique_ptr<CFieldNumericEdit> edit;

    EditFixture()
    {
        edit = std::make_unique<CFieldNumericEdit>(9, 4);
        edit->resize(160, 26);
        edit->show();
        if (!QTest::qWaitForWindowExposed(edit.get()))
            qWarning("edit not exposed");
        edit->setFocus();
    }

    void Start(const QString& text, int caret)
    {
        edit->setText(text);
        edit->setCursorPosition(caret);
    }
};

}  // namespace

void FieldNumericEditTest::typingFiltersCharacters()
{
    EditFixture f;
    QTest::keyClicks(f.edit.get(), "12a3");
    QCOMPARE(f.edit->text(), QString("123"));
    QTest::keyClicks(f.edit.get(), " x,.45678");
    QCOMPARE(f.edit->text(), QString("123.4567"));
    QCOMPARE(f.edit->cursorPosition(), 8);
}

void FieldNumericEditTest::tenthDigitAtTheEndAndInside()
{
    EditFixture f;
    f.Start("123456789", 9);
    QTest::keyClick(f.edit.get(), '0');
    QCOMPARE(f.edit->text(), QString("123456789"));
    f.edit->setCursorPosition(2);
    QTest::keyClick(f.edit.get(), '5');
    QCOMPARE(f.edit->text(), QString("125456789"));
    QCOMPARE(f.edit->cursorPosition(), 3);
}

void FieldNumericEditTest::minusTogglesAndPointJumps()
{
    EditFixture f;
    f.Start("42", 2);
    QTest::keyClick(f.edit.get(), '-');
    QCOMPARE(f.edit->text(), QString("-42"));
    QTest::keyClick(f.edit.get(), '-');
    QCOMPARE(f.edit->text(), QString("42"));
    QCOMPARE(f.edit->cursorPosition(), 2);

    f.Start("3.14", 0);
    QTest::keyClick(f.edit.get(), '.');
    QCOMPARE(f.edit->text(), QString("3.14"));
    QCOMPARE(f.edit->cursorPosition(), 2);
}

void FieldNumericEditTest::backspaceDeleteAndCut()
{
    EditFixture f;
    f.Start("1.5", 2);
    QTest::keyClick(f.edit.get(), Qt::Key_Backspace);
    QCOMPARE(f.edit->text(), QString("15"));
    QCOMPARE(f.edit->cursorPosition(), 1);

    f.Start("123456789.1234", 9);
    QTest::keyClick(f.edit.get(), Qt::Key_Delete);
    QCOMPARE(f.edit->text(), QString("123456789"));

    f.Start("123456789.1234", 0);
    f.edit->setSelection(9, 1);
    QTest::keyClick(f.edit.get(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), QString("123456789"));
    QCOMPARE(QApplication::clipboard()->text(), QString("."));
}

void FieldNumericEditTest::pasteIsNormalisedAndKeepsSelection()
{
    EditFixture f;
    QApplication::clipboard()->setText("1,234.56789");
    f.Start("", 0);
    QTest::keyClick(f.edit.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), QString("1234.5678"));
    QCOMPARE(f.edit->cursorPosition(), 0);

    // The same paste through the QLineEdit interface ends the same way.
    f.Start("", 0);
    f.edit->paste();
    QCOMPARE(f.edit->text(), QString("1234.5678"));
    f.Start("", 0);
    static_cast<QLineEdit*>(f.edit.get())->paste();
    QCOMPARE(f.edit->text(), QString("1234.5678"));
}

void FieldNumericEditTest::programmaticTextIsNormalised()
{
    EditFixture f;
    f.edit->setText("abc");
    QCOMPARE(f.edit->text(), QString());
    f.edit->setText("12x34.56789");
    QCOMPARE(f.edit->text(), QString("1234.5678"));
    // Through a plain QLineEdit pointer, as the dialog addresses its controls.
    QLineEdit* plain = f.edit.get();
    plain->setText("7,5 kbps");
    QCOMPARE(plain->text(), QString("75"));
    plain->insert("x9");
    QCOMPARE(plain->text(), QString("759"));
}

void FieldNumericEditTest::contextMenuGoesThroughTheRules()
{
    EditFixture f;
    auto menuAction = [&f](const QString& caption) -> QAction* {
        const QPoint at(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, f.edit->mapToGlobal(at));
        QApplication::sendEvent(f.edit.get(), &event);
        QMenu* menu = f.edit->findChild<QMenu*>();
        if (!menu)
            return nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().remove('&').startsWith(caption))
                return action;
        }
        return nullptr;
    };
    auto closeMenus = [&f] {
        for (QMenu* menu : f.edit->findChildren<QMenu*>())
            delete menu;
    };

    QApplication::clipboard()->setText("1,234.56789");
    f.Start("", 0);
    QAction* paste = menuAction("Paste");
    QVERIFY(paste && paste->isEnabled());
    paste->trigger();
    QCOMPARE(f.edit->text(), QString("1234.5678"));
    QCOMPARE(f.edit->cursorPosition(), 0);  // the selection from before the paste
    closeMenus();

    f.edit->setSelection(4, 1);
    QAction* remove = menuAction("Delete");
    QVERIFY(remove && remove->isEnabled());
    remove->trigger();
    QCOMPARE(f.edit->text(), QString("12345678"));
    closeMenus();

    f.edit->setReadOnly(true);
    f.edit->selectAll();
    QAction* cut = menuAction("Cut");
    QVERIFY(cut && !cut->isEnabled());
    closeMenus();
}

void FieldNumericEditTest::undoStepsBackThroughTypedDigits()
{
    EditFixture f;
    f.Start("", 0);
    QSignalSpy edited(f.edit.get(), &QLineEdit::textEdited);
    QTest::keyClicks(f.edit.get(), "12");
    QCOMPARE(edited.count(), 2);
    QTest::keyClick(f.edit.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.edit->text().size() < 2);
}

void FieldNumericEditTest::readOnlyRefusesTyping()
{
    EditFixture f;
    f.Start("12", 2);
    f.edit->setReadOnly(true);
    QTest::keyClicks(f.edit.get(), "3-.");
    QTest::keyClick(f.edit.get(), Qt::Key_Backspace);
    QTest::keyClick(f.edit.get(), Qt::Key_Delete);
    QCOMPARE(f.edit->text(), QString("12"));
}

void FieldNumericEditTest::localeSymbolsAreUsed()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
        EditFixture f;
        QCOMPARE(f.edit->Behavior().DecimalPoint(), u',');
        QCOMPARE(f.edit->Behavior().GroupSeparator(), u'.');
        QTest::keyClicks(f.edit.get(), "1.2,55");
        QCOMPARE(f.edit->text(), QString("12,55"));
        QCOMPARE(f.edit->Value(), 12.55);
        // A file's "." is the field's ",", and back.
        f.edit->SetStoredText("-1500.5");
        QCOMPARE(f.edit->text(), QString("-1500,5"));
        QCOMPARE(f.edit->StoredText(), std::string("-1500.5"));
    }
    QLocale::setDefault(saved);
    EditFixture f;
    QCOMPARE(f.edit->Behavior().DecimalPoint(), u'.');
    QCOMPARE(f.edit->Behavior().NegativeSign(), u'-');
    QVERIFY(f.edit->InRange());
    QCOMPARE(f.edit->RangeErrorText(), QString("Please specify a valid numeric value."));
}

void FieldNumericEditTest::fillColourPaintsTheBackground()
{
    EditFixture f;
    f.edit->setText(QString());
    const QPoint inside(f.edit->width() - 20, f.edit->height() / 2);

    f.edit->SetFillColor(ColorFromRef(0x0000FF));
    QCOMPARE(f.edit->FillColor(), QColor(Qt::red));
    QCOMPARE(QColor(f.edit->grab().toImage().pixel(inside)), QColor(Qt::red));

    f.edit->SetFillColor(ColorFromRef(0xFFFFFF));
    QCOMPARE(QColor(f.edit->grab().toImage().pixel(inside)), QColor(Qt::white));
}

void FieldNumericEditTest::outOfRangeIsRedAndReadableInLightAndDarkPalettes()
{
    // Contrast of two colours by the web's rule; 4.5 is the least for normal text.
    auto contrast = [](const QColor& a, const QColor& b) {
        auto luminance = [](const QColor& c) {
            auto linear = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
        };
        const qreal la = luminance(a) + 0.05;
        const qreal lb = luminance(b) + 0.05;
        return std::max(la, lb) / std::min(la, lb);
    };
    for (bool darkTheme : {false, true}) {
        QWidget window;
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, darkTheme ? QColor(0x1e, 0x1e, 0x1e) : QColor(Qt::white));
        palette.setColor(QPalette::Text, darkTheme ? QColor(0xe8, 0xe8, 0xe8) : QColor(Qt::black));
        window.setPalette(palette);
        auto* edit = new CFieldNumericEdit(9, 4, &window);
        edit->setText("6000");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint inside(edit->width() - 10, edit->height() / 2);

        QCOMPARE(edit->FillColor(), palette.color(QPalette::Base));
        QCOMPARE(edit->palette().color(QPalette::Text), palette.color(QPalette::Text));
        edit->SetOutOfRange(true);
        QCOMPARE(edit->FillColor(), QColor(255, 0, 0));
        QCOMPARE(QColor(edit->grab().toImage().pixel(inside)), QColor(255, 0, 0));
        QVERIFY(contrast(edit->palette().color(QPalette::Text), QColor(255, 0, 0)) >= 4.5);
        QVERIFY(!edit->accessibleDescription().isEmpty());
        edit->SetOutOfRange(false);
        QCOMPARE(edit->FillColor(), palette.color(QPalette::Base));
        QCOMPARE(edit->palette().color(QPalette::Text), palette.color(QPalette::Text));
        QVERIFY(edit->accessibleDescription().isEmpty());
    }
}
