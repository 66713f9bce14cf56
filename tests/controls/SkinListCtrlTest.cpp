#include "tests/controls/SkinListCtrlTest.h"

#include "controls/ChoiceDropList.h"
#include "controls/SkinHeaderCtrl.h"
#include "controls/SkinHorizontalScrollbar.h"
#include "controls/SkinListCtrl.h"
#include "controls/SkinVerticleScrollbar.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

const QColor kEven(0xFF, 0xFF, 0xFF);
const QColor kOdd(0xE0, 0xE6, 0xF4);        // COLORREF 0xF4E6E0
const QColor kSelected(0x6D, 0x8D, 0xAE);   // COLORREF 0xAE8D6D
const QColor kText(0x3D, 0x4C, 0x6D);       // COLORREF 0x6D4C3D

// The colours above as the palette the list takes its colours from, a distinct one for
// each role, so every pixel check below tells the roles apart.
QPalette SkinPalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Base, kEven);
    palette.setColor(QPalette::AlternateBase, kOdd);
    palette.setColor(QPalette::Highlight, kSelected);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Text, kText);
    return palette;
}

// A window holding one list like the editor's value lists: a "Default" toggle column and
// a value column. Every signal the list sends is written to the log with the state the
// list was in at that moment.
struct ListFixture {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    CSkinListCtrl* list = new CSkinListCtrl(window.get());
    QStringList log;

    explicit ListFixture(int rowCount = 4, int height = 200)
    {
        window->setPalette(SkinPalette());
        list->setGeometry(10, 10, 260, height);
        list->InsertColumn(0, "Default", 50, true);
        list->InsertColumn(1, "Value", 151, true);
        for (int row = 0; row < rowCount; ++row) {
            list->InsertRow(row, QString());
            list->MakeToggleCell(row, 0);
            list->SetCellText(row, 1, QString("row %1").arg(row));
        }
        window->resize(300, height + 20);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");

        auto who = [this](CSkinListCtrl* sender) { return sender == list ? QString() : QString(" from another list"); };
        QObject::connect(list, &CSkinListCtrl::RowSelected, list, [this, who](CSkinListCtrl* sender, int row) {
            log << QString("selected %1 (before: selected %2, toggle %3)%4")
                       .arg(row)
                       .arg(list->FirstSelectedRow())
                       .arg(list->GetToggle(row, 0))
                       .arg(who(sender));
        });
        QObject::connect(list, &CSkinListCtrl::ActiveColumnClicked, list,
                         [this, who](CSkinListCtrl* sender, int column, int row) {
                             log << QString("active column %1 row %2 (toggle %3)%4")
                                        .arg(column)
                                        .arg(row)
                                        .arg(list->GetToggle(row, column))
                                        .arg(who(sender));
                         });
        QObject::connect(list, &CSkinListCtrl::CheckBoxClicked, list,
                         [this, who](CSkinListCtrl* sender, int column, int row) {
                             log << QString("checkbox column %1 row %2 (check %3)%4")
                                        .arg(column)
                                        .arg(row)
                                        .arg(list->GetCheck(row, column))
                                        .arg(who(sender));
                         });
        QObject::connect(list, &CSkinListCtrl::ComboSelection, list,
                         [this, who](CSkinListCtrl* sender, int column, int row) {
                             log << QString("combo column %1 row %2 (%3)%4")
                                        .arg(column)
                                        .arg(row)
                                        .arg(list->GetCellText(row, column))
                                        .arg(who(sender));
                         });
        QObject::connect(list, &CSkinListCtrl::DoubleClicked, list,
                         [this, who](CSkinListCtrl* sender) { log << "double click" + who(sender); });
        QObject::connect(list, &CSkinListCtrl::RowDeleteRequested, list, [this](CSkinListCtrl*, int row) {
            log << QString("delete %1 (selected %2)").arg(row).arg(list->FirstSelectedRow());
        });
    }

    void Click(int row, int column, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(list->viewport(), button, {}, list->CellRect(row, column).center());
    }

    QList<int> Toggles() const
    {
        QList<int> values;
        for (int row = 0; row < list->RowCount(); ++row)
            values << list->GetToggle(row, 0);
        return values;
    }

    QImage Grab() const { return list->viewport()->grab().toImage(); }

    void Key(int key) { QTest::keyClick(list, Qt::Key(key)); }
};

QColor PixelAt(const QImage& image, const QPoint& at)
{
    return QColor(image.pixel(at));
}

}  // namespace

void SkinListCtrlTest::toggleClickReportsRowThenColumn()
{
    ListFixture f;
    f.list->SetToggle(0, 0, 1);
    f.Click(2, 0);
    // The row is reported before the list selects it or touches the cell.
    QCOMPARE(f.log, QStringList({"selected 2 (before: selected -1, toggle 0)", "active column 0 row 2 (toggle 1)"}));
    QCOMPARE(f.Toggles(), QList<int>({0, 0, 1, 0}));
    QCOMPARE(f.list->FirstSelectedRow(), 2);
}

void SkinListCtrlTest::clickOnOnCellTurnsItOff()
{
    ListFixture f;
    f.list->SetToggle(2, 0, 1);
    f.Click(2, 0);
    QCOMPARE(f.log, QStringList({"selected 2 (before: selected -1, toggle 1)", "active column 0 row 2 (toggle 0)"}));
    QCOMPARE(f.Toggles(), QList<int>({0, 0, 0, 0}));
}

void SkinListCtrlTest::exclusivityStaysInItsColumn()
{
    ListFixture f;
    f.list->InsertColumn(2, "Other", 40, false);
    for (int row = 0; row < 4; ++row)
        f.list->MakeToggleCell(row, 2);
    f.list->SetToggle(1, 2, 1);
    f.list->SetToggle(0, 0, 1);

    f.Click(3, 0);
    QCOMPARE(f.Toggles(), QList<int>({0, 0, 0, 1}));
    QCOMPARE(f.list->GetToggle(1, 2), 1);

    f.Click(3, 2);
    QCOMPARE(f.list->GetToggle(1, 2), 0);
    QCOMPARE(f.list->GetToggle(3, 2), 1);
    QCOMPARE(f.list->GetToggle(3, 0), 1);
    QCOMPARE(f.log.last(), QString("active column 2 row 3 (toggle 1)"));
}

void SkinListCtrlTest::setToggleKeepsSeveralRowsOn()
{
    ListFixture f;
    for (int row : {0, 1, 3})
        QVERIFY(f.list->SetToggle(row, 0, 1));
    QCOMPARE(f.Toggles(), QList<int>({1, 1, 0, 1}));
    QVERIFY(f.log.isEmpty());
}

void SkinListCtrlTest::clickBelowLastRowDoesNothing()
{
    ListFixture f;
    f.list->SelectRow(1);
    f.list->SetToggle(0, 0, 1);
    const QRect last = f.list->RowRect(3);
    QVERIFY(last.bottom() + 20 < f.list->viewport()->height());

    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, QPoint(f.list->CellRect(3, 0).center().x(), last.bottom() + 10));
    // Right of the last column is outside every row as well.
    QVERIFY(last.right() + 10 < f.list->viewport()->width());
    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, {}, QPoint(last.right() + 5, last.center().y()));

    QVERIFY(f.log.isEmpty());
    QCOMPARE(f.list->FirstSelectedRow(), 1);
    QCOMPARE(f.Toggles(), QList<int>({1, 0, 0, 0}));
}

void SkinListCtrlTest::clickOnValueCellOnlySelects()
{
    ListFixture f;
    f.list->SetToggle(0, 0, 1);
    f.Click(1, 1);
    QCOMPARE(f.log, QStringList({"selected 1 (before: selected -1, toggle 0)"}));
    QCOMPARE(f.list->FirstSelectedRow(), 1);
    QCOMPARE(f.Toggles(), QList<int>({1, 0, 0, 0}));

    // A right click selects without reporting, unless right-click selection is on.
    f.Click(2, 1, Qt::RightButton);
    QCOMPARE(f.log.size(), 1);
    QCOMPARE(f.list->FirstSelectedRow(), 2);
    f.list->SetRightClickSelects(true);
    f.Click(3, 1, Qt::RightButton);
    QCOMPARE(f.log.last(), QString("selected 3 (before: selected 2, toggle 0)"));
}

void SkinListCtrlTest::handlerMayRebuildTheListDuringTheClick()
{
    ListFixture f;
    QObject::connect(f.list, &CSkinListCtrl::RowSelected, f.list, [&f] {
        f.list->DeleteAllRows();
        f.list->InsertRow(0, "only");
    });
    f.Click(3, 0);
    QCOMPARE(f.list->RowCount(), 1);
    QCOMPARE(f.log.size(), 1);  // the clicked row is gone: no toggle, no second report
    QCOMPARE(f.list->GetToggle(0, 0), 0);
    QCOMPARE(f.list->FirstSelectedRow(), -1);
}

void SkinListCtrlTest::checkBoxCellsRadioAndHeaderMark()
{
    ListFixture f;
    for (int row = 0; row < 4; ++row)
        f.list->SetCheck(row, 1, 0);
    f.list->SetHeaderCheck(1, 1);

    f.Click(0, 1);
    QCOMPARE(f.log, QStringList({"selected 0 (before: selected -1, toggle 0)", "checkbox column 1 row 0 (check 1)"}));
    QCOMPARE(f.list->GetHeaderCheck(1), 1);
    for (int row = 1; row < 4; ++row)
        f.list->SetCheck(row, 1, 1);
    QCOMPARE(f.list->GetHeaderCheck(1), 2);  // every row checked

    // A click on the header flips its mark and sets every box of the column to match.
    CSkinHeaderCtrl* header = f.list->Header();
    const QPoint columnOne(f.list->ColumnWidth(0) + f.list->ColumnWidth(1) / 2, header->height() / 2);
    QTest::mouseClick(header, Qt::LeftButton, {}, columnOne);
    QCOMPARE(f.list->GetHeaderCheck(1), 1);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(f.list->GetCheck(row, 1), 0);
    QTest::mouseClick(header, Qt::LeftButton, {}, columnOne);
    QCOMPARE(f.list->GetHeaderCheck(1), 2);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(f.list->GetCheck(row, 1), 1);
    // A column without a mark ignores header clicks.
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(10, header->height() / 2));
    QCOMPARE(f.list->GetHeaderCheck(0), 0);

    // Radio boxes: checking one unchecks the others, and a checked one stays checked.
    for (int row = 0; row < 4; ++row) {
        f.list->SetRadio(row, 1, true);
        f.list->SetCheck(row, 1, 0);
    }
    f.Click(2, 1);
    f.Click(0, 1);
    QCOMPARE(f.list->GetCheck(0, 1), 1);
    QCOMPARE(f.list->GetCheck(2, 1), 0);
    f.Click(0, 1);
    QCOMPARE(f.list->GetCheck(0, 1), 1);

    // A disabled box does not change and reports nothing.
    f.list->SetCheckEnabled(3, 1, false);
    f.log.clear();
    f.Click(3, 1);
    QCOMPARE(f.log, QStringList({"selected 3 (before: selected 0, toggle 0)"}));
    QCOMPARE(f.list->GetCheck(3, 1), 0);
}

void SkinListCtrlTest::toggleWaitsForUncheckedCheckBox()
{
    ListFixture f;
    f.list->InsertColumn(2, "Use", 40, false);
    for (int row = 0; row < 4; ++row)
        f.list->SetCheck(row, 2, 0);

    f.Click(1, 0);
    QCOMPARE(f.list->GetToggle(1, 0), 0);
    QCOMPARE(f.log.size(), 1);

    f.list->SetCheck(1, 2, 1);
    f.Click(1, 0);
    QCOMPARE(f.list->GetToggle(1, 0), 1);

    f.list->SetCheckEnabled(2, 2, false);
    f.Click(2, 0);
    QCOMPARE(f.list->GetToggle(2, 0), 1);
}

void SkinListCtrlTest::doubleClickReportsOnceAndTogglesOnce()
{
    ListFixture f;
    QWidget* viewport = f.list->viewport();
    const QPointF at = f.list->CellRect(1, 0).center();
    const QPointF global = viewport->mapToGlobal(at);
    // The sequence the platform delivers: press, release, double click, release.
    const QEvent::Type sequence[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                     QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
    for (QEvent::Type type : sequence) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    QCOMPARE(f.log, QStringList({"selected 1 (before: selected -1, toggle 0)", "active column 0 row 1 (toggle 1)",
                                 "double click"}));
    QCOMPARE(f.list->GetToggle(1, 0), 1);
}

void SkinListCtrlTest::deleteAllRowsThenInsertGivesFreshCells()
{
    ListFixture f;
    f.list->SetToggle(0, 0, 1);
    f.list->SetCheck(1, 1, 1);
    f.list->SetRowData(2, 7);
    f.list->MakeChoiceCell(3, 1, {"a", "b"});
    f.list->SelectRow(2);

    f.list->DeleteAllRows();
    QCOMPARE(f.list->RowCount(), 0);
    QCOMPARE(f.list->FirstSelectedRow(), -1);
    f.list->DeleteAllRows();  // on an empty list: nothing
    QCOMPARE(f.list->RowCount(), 0);

    for (int row = 0; row < 4; ++row)
        QCOMPARE(f.list->InsertRow(row, "new"), row);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 2; ++column) {
            const SkinListCell* cell = f.list->Cell(row, column);
            QVERIFY(cell);
            QCOMPARE(cell->toggleCell, 0);
            QCOMPARE(cell->toggleValue, 0);
            QCOMPARE(cell->checkState, -1);
            QCOMPARE(cell->choiceCell, 0);
            QVERIFY(cell->choices.isEmpty());
            QCOMPARE(cell->rowData, 0);
        }
        QCOMPARE(f.list->GetCellText(row, 0), QString("new"));
        QCOMPARE(f.list->GetCellText(row, 1), QString());
    }
    QCOMPARE(f.list->FirstSelectedRow(), -1);
    f.Click(0, 0);
    QCOMPARE(f.log, QStringList({"selected 0 (before: selected -1, toggle 0)"}));
}

void SkinListCtrlTest::outOfRangeArgumentsTouchNothing()
{
    ListFixture f(2);
    const int badRows[] = {-1, 2, 1000};
    const int badColumns[] = {-1, 2, 1000};
    for (int row : badRows) {
        QCOMPARE(f.list->GetToggle(row, 0), -1);
        QVERIFY(!f.list->SetToggle(row, 0, 1));
        QVERIFY(!f.list->MakeToggleCell(row, 0));
        QCOMPARE(f.list->GetCheck(row, 0), -1);
        QVERIFY(!f.list->SetCheck(row, 0, 1));
        QCOMPARE(f.list->GetRowData(row), 0);
        QVERIFY(!f.list->SetRowData(row, 5));
        QVERIFY(!f.list->SetCellText(row, 1, "x"));
        QCOMPARE(f.list->GetCellText(row, 1), QString());
        QVERIFY(!f.list->SelectRow(row));
        QVERIFY(!f.list->DeleteRow(row));
        QVERIFY(!f.list->MakeChoiceCell(row, 1, {"a"}));
        QVERIFY(f.list->RowRect(row).isNull());
        f.list->EnsureRowVisible(row);
    }
    for (int column : badColumns) {
        QCOMPARE(f.list->GetToggle(0, column), -1);
        QVERIFY(!f.list->SetToggle(0, column, 1));
        QVERIFY(!f.list->MakeToggleCell(0, column));
        QVERIFY(!f.list->SetCheck(0, column, 1));
        QVERIFY(!f.list->SetCellText(0, column, "x"));
        QCOMPARE(f.list->GetCellText(0, column), QString());
        QVERIFY(!f.list->SetCellBold(0, column, true));
        QVERIFY(!f.list->SetCellTextColour(0, column, 0xFF));
        QVERIFY(f.list->Cell(0, column) == nullptr);
        QVERIFY(f.list->CellRect(0, column).isNull());
        QCOMPARE(f.list->ColumnWidth(column), -1);
        QCOMPARE(f.list->GetHeaderCheck(column), -1);
    }
    QCOMPARE(f.list->RowCount(), 2);
    QCOMPARE(f.Toggles(), QList<int>({0, 0}));
    QCOMPARE(f.list->GetCellText(0, 1), QString("row 0"));
    QCOMPARE(f.list->FirstSelectedRow(), -1);

    QCOMPARE(f.list->InsertRow(-1, "x"), -1);
    QCOMPARE(f.list->InsertRow(1000, "appended"), 2);  // beyond the end: appended
    QCOMPARE(f.list->GetCellText(2, 0), QString("appended"));
    QCOMPARE(f.list->InsertColumn(-1, "bad", 10), -1);
    QCOMPARE(f.list->ColumnCount(), 2);
    QVERIFY(f.log.isEmpty());
}

void SkinListCtrlTest::columnInsertedLaterGetsCells()
{
    ListFixture f(3);
    f.list->SetToggle(1, 0, 1);
    QCOMPARE(f.list->InsertColumn(0, "First", 30), 0);
    QCOMPARE(f.list->ColumnCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(f.list->GetCellText(row, 0), QString());
        QCOMPARE(f.list->GetCellText(row, 2), QString("row %1").arg(row));
        QCOMPARE(f.list->Cell(row, 0)->toggleCell, 0);
        QCOMPARE(f.list->Cell(row, 1)->toggleCell, 1);
    }
    QCOMPARE(f.list->GetToggle(1, 1), 1);
    QVERIFY(f.list->MakeToggleCell(2, 0));
    QVERIFY(f.list->SetCellText(2, 0, "new"));
    QCOMPARE(f.list->GetCellText(2, 0), QString("new"));
}

void SkinListCtrlTest::rowColoursFollowParityAndSelection()
{
    ListFixture f;
    // Inside a cell, clear of the text (centred) and of the focus frame at the edges.
    auto sample = [&f](int row, int column) {
        const QRect cell = f.list->CellRect(row, column);
        return QPoint(cell.left() + 3, cell.center().y());
    };

    QImage image = f.Grab();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 2; ++column)
            QCOMPARE(PixelAt(image, sample(row, column)), row % 2 == 0 ? kEven : kOdd);
    }

    // The value text is drawn in the list's text colour: the darkest pixel of row 0's text.
    const QRect textCell = f.list->CellRect(0, 1);
    QColor darkest = Qt::white;
    for (int y = textCell.top(); y <= textCell.bottom(); ++y) {
        for (int x = textCell.left(); x <= textCell.right(); ++x) {
            const QColor c = PixelAt(image, QPoint(x, y));
            if (c.lightness() < darkest.lightness())
                darkest = c;
        }
    }
    QVERIFY2(qAbs(darkest.red() - kText.red()) <= 12 && qAbs(darkest.green() - kText.green()) <= 12 &&
                 qAbs(darkest.blue() - kText.blue()) <= 12,
             qPrintable(darkest.name()));

    // Without full-row selection only the first column shows the selection.
    f.list->SelectRow(1);
    image = f.Grab();
    QCOMPARE(PixelAt(image, sample(1, 0)), kSelected);
    QCOMPARE(PixelAt(image, sample(1, 1)), kOdd);
    QCOMPARE(PixelAt(image, sample(0, 0)), kEven);

    f.list->SetFullRowSelect(true);
    image = f.Grab();
    QCOMPARE(PixelAt(image, sample(1, 0)), kSelected);
    QCOMPARE(PixelAt(image, sample(1, 1)), kSelected);
    QCOMPARE(PixelAt(image, sample(2, 1)), kEven);
    QCOMPARE(PixelAt(image, sample(3, 1)), kOdd);

    f.list->SetAlternateRowColours(false);
    image = f.Grab();
    QCOMPARE(PixelAt(image, sample(3, 1)), kEven);
    QCOMPARE(PixelAt(image, sample(1, 1)), kSelected);
}

void SkinListCtrlTest::toggleMarkSitsTwoPixelsFromTheLeft()
{
    ListFixture f;
    f.list->SetToggle(1, 0, 1);
    const QImage image = f.Grab();

    auto markBounds = [&image](const QRect& cell, const QColor& background) {
        QRect bounds;
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (PixelAt(image, QPoint(x, y)) != background)
                    bounds |= QRect(x, y, 1, 1);
            }
        }
        return bounds;
    };

    const QRect cell = f.list->CellRect(1, 0);
    const QRect mark = markBounds(cell, kOdd);
    QVERIFY(!mark.isEmpty());
    const int imageTop = cell.top() + (cell.height() - 12) / 2;
    QVERIFY2(mark.left() >= cell.left() + 2 && mark.right() <= cell.left() + 2 + 9,
             qPrintable(QString("mark x %1..%2, cell from %3").arg(mark.left()).arg(mark.right()).arg(cell.left())));
    QVERIFY2(mark.top() >= imageTop && mark.bottom() <= imageTop + 11,
             qPrintable(QString("mark y %1..%2, image from %3").arg(mark.top()).arg(mark.bottom()).arg(imageTop)));
    QVERIFY(mark.left() <= cell.left() + 4);  // it starts at the left, not in the middle

    QVERIFY(markBounds(f.list->CellRect(0, 0), kEven).isEmpty());
    QVERIFY(markBounds(f.list->CellRect(2, 0), kEven).isEmpty());

    // With toggle cells inactive, the value is kept but not shown.
    f.list->SetToggleCellsActive(false);
    const QImage inactive = f.Grab();
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            QCOMPARE(PixelAt(inactive, QPoint(x, y)), kOdd);
    QCOMPARE(f.list->GetToggle(1, 0), 1);
}

void SkinListCtrlTest::wheelScrollsByLinesAndLastRowCanBeShown()
{
    ListFixture f(30, 150);
    QWidget* viewport = f.list->viewport();
    auto wheel = [viewport](int delta) {
        const QPointF at(20, 20);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    };
    const int lines = QApplication::wheelScrollLines();
    QCOMPARE(f.list->TopRow(), 0);
    wheel(-120);
    QCOMPARE(f.list->TopRow(), lines);
    wheel(120);
    QCOMPARE(f.list->TopRow(), 0);
    wheel(-60);
    QCOMPARE(f.list->TopRow(), 0);  // half a notch waits for the other half
    wheel(-60);
    QCOMPARE(f.list->TopRow(), lines);
    wheel(240);
    QCOMPARE(f.list->TopRow(), 0);  // never above the first row

    f.list->EnsureRowVisible(29);
    const QRect last = f.list->RowRect(29);
    QVERIFY(last.top() >= 0 && last.bottom() < viewport->height());
    QVERIFY(f.list->RowRect(29 - f.list->viewport()->height() / f.list->RowHeight()).bottom() < 0);

    // Rows are hit where they are drawn after scrolling.
    f.Click(29, 1);
    QCOMPARE(f.log.last(), QString("selected 29 (before: selected -1, toggle 0)"));
}

void SkinListCtrlTest::lastRowShownWhenAskedBeforeTheListIsShown()
{
    // As the dialog does while it loads a profile: fill, scroll to the end, then show.
    QWidget window;
    window.resize(300, 200);
    auto* list = new CSkinListCtrl(&window);
    list->setGeometry(10, 10, 260, 150);
    list->AttachSkinScrollBars();
    list->InsertColumn(0, "Default", 50, true);
    list->InsertColumn(1, "Value", 151, true);
    for (int row = 0; row < 30; ++row)
        list->SetCellText(list->InsertRow(row, QString()), 1, QString::number(row));
    list->EnsureRowVisible(29);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect last = list->RowRect(29);
    QVERIFY2(last.top() >= 0 && last.bottom() < list->viewport()->height(),
             qPrintable(QString("row 29 at %1..%2, viewport %3").arg(last.top()).arg(last.bottom()).arg(list->viewport()->height())));
    QVERIFY(list->TopRow() > 0);
}

void SkinListCtrlTest::headerDividerResizesColumn()
{
    ListFixture f;
    CSkinHeaderCtrl* header = f.list->Header();
    const int y = header->height() / 2;
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(50, y));
    QTest::mouseMove(header, QPoint(80, y));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(80, y));
    QCOMPARE(f.list->ColumnWidth(0), 80);
    QCOMPARE(f.list->CellRect(0, 1).left(), 80);
    // A drag is not a click on the column.
    QCOMPARE(f.list->GetHeaderCheck(0), 0);
    f.Click(0, 1);
    QCOMPARE(f.log.size(), 1);
    QCOMPARE(f.list->GetToggle(0, 0), 0);
}

void SkinListCtrlTest::skinScrollBarsAreFourteenPixelsAndScroll()
{
    ListFixture f(30, 150);
    QVERIFY(!qobject_cast<CSkinVerticleScrollbar*>(f.list->verticalScrollBar()));
    f.list->AttachSkinScrollBars();
    f.list->AttachSkinScrollBars();  // a second call changes nothing
    f.list->SetColumnWidth(1, 400);
    QCoreApplication::processEvents();

    auto* vertical = qobject_cast<CSkinVerticleScrollbar*>(f.list->verticalScrollBar());
    auto* horizontal = qobject_cast<CSkinHorizontalScrollbar*>(f.list->horizontalScrollBar());
    QVERIFY(vertical && horizontal);
    QTRY_VERIFY(vertical->isVisible() && horizontal->isVisible());
    QCOMPARE(vertical->width(), 14);
    QCOMPARE(horizontal->height(), 14);

    // The arrow buttons at the ends scroll by one row; the track below the thumb by a page.
    QTest::mouseClick(vertical, Qt::LeftButton, {}, QPoint(7, vertical->height() - 5));
    QCOMPARE(f.list->TopRow(), 1);
    QTest::mouseClick(vertical, Qt::LeftButton, {}, QPoint(7, 5));
    QCOMPARE(f.list->TopRow(), 0);
    QTest::mouseClick(vertical, Qt::LeftButton, {}, QPoint(7, vertical->height() - 20));
    QCOMPARE(f.list->TopRow(), vertical->pageStep());

    QTest::mouseClick(horizontal, Qt::LeftButton, {}, QPoint(horizontal->width() - 5, 7));
    QVERIFY(f.list->Header()->Offset() > 0);
    QCOMPARE(f.list->Header()->Offset(), horizontal->value());

    // The track is painted in the skin's colours, not the platform's.
    f.list->verticalScrollBar()->setValue(0);
    const QImage bar = vertical->grab().toImage();
    QCOMPARE(PixelAt(bar, QPoint(7, vertical->height() - 20)), kOdd);
}

void SkinListCtrlTest::choiceCellDropDown()
{
    ListFixture f;
    f.list->MakeChoiceCell(1, 1, {"Low", "Medium", "High"});
    f.list->SetCellText(1, 1, "medium");

    f.Click(1, 1);
    CChoiceDropList* drop = f.list->DropList();
    QVERIFY(drop);
    QVERIFY(drop->isVisible());
    QCOMPARE(drop->CurrentIndex(), 1);  // the cell's text, whatever its case
    QCOMPARE(f.list->Cell(1, 1)->choiceOpen, 1);

    QTest::keyClick(drop->ListBox(), Qt::Key_Down);
    QCOMPARE(f.list->GetCellText(1, 1), QString("High"));  // previewed, still open
    QCOMPARE(f.list->DropList(), drop);
    QTest::keyClick(drop->ListBox(), Qt::Key_Return);
    QCOMPARE(f.log, QStringList({"selected 1 (before: selected -1, toggle 0)", "combo column 1 row 1 (High)"}));
    QVERIFY(!f.list->DropList());
    QCOMPARE(f.list->Cell(1, 1)->choiceOpen, 0);

    // Escape puts the old text back.
    f.Click(1, 1);
    drop = f.list->DropList();
    QVERIFY(drop);
    QCOMPARE(drop->CurrentIndex(), 2);
    QTest::keyClick(drop->ListBox(), Qt::Key_Up);
    QCOMPARE(f.list->GetCellText(1, 1), QString("Medium"));
    QTest::keyClick(drop->ListBox(), Qt::Key_Escape);
    QCOMPARE(f.list->GetCellText(1, 1), QString("High"));
    QVERIFY(!f.list->DropList());

    // A click on an entry takes it.
    f.Click(1, 1);
    drop = f.list->DropList();
    QVERIFY(drop);
    QListWidget* box = drop->ListBox();
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualItemRect(box->item(0)).center());
    QCOMPARE(f.list->GetCellText(1, 1), QString("Low"));
    QCOMPARE(f.log.last(), QString("combo column 1 row 1 (Low)"));
    QVERIFY(!f.list->DropList());

    // Losing the pop-up (it closes when the user clicks elsewhere) restores the text.
    f.Click(1, 1);
    drop = f.list->DropList();
    QVERIFY(drop);
    QTest::keyClick(drop->ListBox(), Qt::Key_Down);
    QCOMPARE(f.list->GetCellText(1, 1), QString("Medium"));
    drop->close();
    QCOMPARE(f.list->GetCellText(1, 1), QString("Low"));
    QVERIFY(!f.list->DropList());
    const int reports = f.log.size();

    // Deleting the row under an open drop-down closes it without touching other rows.
    f.Click(1, 1);
    QVERIFY(f.list->DropList());
    f.list->DeleteRow(1);
    QVERIFY(!f.list->DropList());
    QCOMPARE(f.log.size(), reports + 1);
    QCOMPARE(f.list->GetCellText(1, 1), QString("row 2"));
}

void SkinListCtrlTest::keysMoveTheFocusRowAndSpaceOrReturnClickIt()
{
    ListFixture f(30, 150);
    f.list->SetToggle(5, 0, 1);
    // Tabbing in, the focus row starts on the default row; it is drawn, not selected.
    f.list->clearFocus();
    f.list->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.list->FocusedRow(), 5);
    QCOMPARE(f.list->FirstSelectedRow(), -1);
    auto framed = [&f] {
        const QImage image = f.Grab();
        const QRect cell = f.list->CellRect(5, 0);
        int marks = 0;
        for (int x = cell.left(); x <= cell.right(); ++x)
            marks += PixelAt(image, QPoint(x, cell.top())) != kOdd ? 1 : 0;
        return marks;
    };
    QVERIFY(framed() > 0);
    f.list->clearFocus();
    QCOMPARE(framed(), 0);
    f.list->setFocus(Qt::TabFocusReason);

    const int page = f.list->viewport()->height() / f.list->RowHeight();
    const QList<QPair<int, int>> moves = {{Qt::Key_Down, 6},         {Qt::Key_PageDown, 6 + page}, {Qt::Key_End, 29},
                                          {Qt::Key_PageUp, 29 - page}, {Qt::Key_Home, 0},          {Qt::Key_Up, 0},
                                          {Qt::Key_Down, 1}};
    for (const auto& [key, row] : moves) {
        f.Key(key);
        QCOMPARE(f.list->FocusedRow(), row);
        QCOMPARE(f.list->FirstSelectedRow(), row);
    }
    QVERIFY(f.log.isEmpty());

    // Space and Return click the focused row's Default cell: the same reports in the same
    // order, the same exclusive toggle.
    f.Key(Qt::Key_Space);
    QCOMPARE(f.log, QStringList({"selected 1 (before: selected 1, toggle 0)", "active column 0 row 1 (toggle 1)"}));
    QCOMPARE(f.list->GetToggle(5, 0), 0);
    f.log.clear();
    f.Key(Qt::Key_Return);
    QCOMPARE(f.log, QStringList({"selected 1 (before: selected 1, toggle 1)", "active column 0 row 1 (toggle 0)"}));

    // An empty list leaves Return to the dialog's default button.
    ListFixture empty(0);
    empty.list->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(empty.list, &press);
    QVERIFY(!press.isAccepted());
}

void SkinListCtrlTest::deleteKeyAsksToRemoveTheFocusedRow()
{
    ListFixture f;
    // As the window's Remove does: the selected row goes.
    QObject::connect(f.list, &CSkinListCtrl::RowDeleteRequested, f.list,
                     [](CSkinListCtrl* list, int) { list->DeleteRow(list->FirstSelectedRow()); });
    f.list->setFocus();
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Delete);
    QCOMPARE(f.log, QStringList({"delete 1 (selected 1)"}));
    QCOMPARE(f.list->GetCellText(1, 1), QString("row 2"));
    QCOMPARE(f.list->FocusedRow(), 1);  // the row that took its place, so Delete goes on
    f.Key(Qt::Key_End);
    f.Key(Qt::Key_Delete);
    QCOMPARE(f.log.last(), QString("delete 2 (selected 2)"));
    QCOMPARE(f.list->RowCount(), 2);
    QCOMPARE(f.list->FocusedRow(), 1);
}

void SkinListCtrlTest::darkPaletteGivesLightTextOnDarkRowsHeaderAndBars()
{
    ListFixture f(30, 150);
    QPalette dark = QApplication::palette();
    for (auto [role, colour] : {std::pair{QPalette::Base, 0x1e1e1e}, {QPalette::AlternateBase, 0x262626},
                                {QPalette::Text, 0xe8e8e8}, {QPalette::Window, 0x2d2d2d}, {QPalette::Button, 0x353535},
                                {QPalette::ButtonText, 0xf0f0f0}, {QPalette::Light, 0x4a4a4a}, {QPalette::Mid, 0x555555},
                                {QPalette::Highlight, 0x2a5a8a}, {QPalette::HighlightedText, 0xffffff}})
        dark.setColor(role, QColor::fromRgb(QRgb(colour)));
    f.window->setPalette(dark);
    f.list->AttachSkinScrollBars();
    QCoreApplication::processEvents();

    // The ground at a spot clear of text, and the lightest pixel of the area: its text.
    auto check = [](const QImage& image, const QRect& area, const QPoint& clear) {
        qreal text = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                text = std::max(text, qreal(PixelAt(image, QPoint(x, y)).lightnessF()));
        }
        const qreal ground = PixelAt(image, clear).lightnessF();
        return ground < 0.3 && text > 0.75 ? QString() : QString("ground %1, text %2").arg(ground).arg(text);
    };
    for (int row : {0, 1}) {
        const QRect cell = f.list->CellRect(row, 1);
        QCOMPARE(check(f.Grab(), cell, QPoint(cell.left() + 3, cell.center().y())), QString());
    }
    const QImage header = f.list->Header()->grab().toImage();
    QCOMPARE(check(header, header.rect(), QPoint(2, header.height() / 2)), QString());
    const QImage bar = f.list->verticalScrollBar()->grab().toImage();
    QVERIFY(PixelAt(bar, QPoint(7, bar.height() - 20)).lightnessF() < 0.3);
}
