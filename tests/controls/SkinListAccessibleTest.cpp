#include "tests/controls/SkinListAccessibleTest.h"

#include "controls/SkinListCtrl.h"

#include <QAccessible>
#include <QTest>

#include <memory>

namespace {

// A frame-size list as the editor fills it: "720x480" is the default.
struct Sizes {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    CSkinListCtrl* list = new CSkinListCtrl(window.get());

    Sizes()
    {
        list->setGeometry(10, 10, 260, 150);
        list->InsertColumn(0, "Default", 50, true);
        list->InsertColumn(1, "Frame Resolution", 151, true);
        for (const char* size : {"640x480", "720x480", "320x240"}) {
            const int row = list->InsertRow(list->RowCount(), QString());
            list->MakeToggleCell(row, 0);
            list->SetCellText(row, 1, size);
        }
        list->SetToggle(1, 0, 1);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
    }

    QAccessibleInterface* Table() const { return QAccessible::queryAccessibleInterface(list); }
    QAccessibleInterface* Cell(int row, int column) const { return Table()->tableInterface()->cellAt(row, column); }

    QList<int> CheckedRows() const
    {
        QList<int> rows;
        for (int row = 0; row < Table()->tableInterface()->rowCount(); ++row) {
            const QAccessible::State state = Cell(row, 0)->state();
            if (state.checkable && state.checked)
                rows << row;
        }
        return rows;
    }
};

}  // namespace

void SkinListAccessibleTest::tableOfRowsWithShownTextsAndTheCheckedDefault()
{
    Sizes f;
    QAccessibleInterface* table = f.Table();
    QVERIFY(table && table->tableInterface());
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->tableInterface()->rowCount(), 3);
    QCOMPARE(table->tableInterface()->columnCount(), 2);
    QCOMPARE(table->childCount(), 8);  // the headers, then the cells row by row

    QStringList texts;
    for (int row = 0; row < 3; ++row)
        texts << f.Cell(row, 1)->text(QAccessible::Name);
    QCOMPARE(texts, QStringList({"640x480", "720x480", "320x240"}));
    QCOMPARE(f.CheckedRows(), QList<int>{1});
    QVERIFY(!f.Cell(1, 1)->state().checkable);

    QAccessibleInterface* cell = f.Cell(2, 1);
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->parent(), table);
    QCOMPARE(table->child(table->indexOfChild(cell)), cell);
    QCOMPARE(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    const QList<QAccessibleInterface*> header = cell->tableCellInterface()->columnHeaderCells();
    QCOMPARE(header.size(), 1);
    QCOMPARE(header[0]->role(), QAccessible::ColumnHeader);
    QCOMPARE(header[0]->text(QAccessible::Name), QString("Frame Resolution"));

    // Cells follow the rows as they change.
    f.list->SetToggle(1, 0, 0);
    f.list->SetToggle(2, 0, 1);
    QCOMPARE(f.CheckedRows(), QList<int>{2});
    f.list->DeleteRow(0);
    QCOMPARE(table->tableInterface()->rowCount(), 2);
    QCOMPARE(f.Cell(0, 1)->text(QAccessible::Name), QString("720x480"));
    QCOMPARE(f.CheckedRows(), QList<int>{1});
}

void SkinListAccessibleTest::focusChildIsTheValueCellOfTheFocusRow()
{
    Sizes f;
    f.list->clearFocus();
    QCOMPARE(f.Table()->focusChild(), nullptr);
    f.list->setFocus(Qt::TabFocusReason);
    QAccessibleInterface* focused = f.Table()->focusChild();
    QVERIFY(focused && focused->state().focused);
    QCOMPARE(focused->text(QAccessible::Name), QString("720x480"));  // the default row
    QTest::keyClick(f.list, Qt::Key_Home);
    focused = f.Table()->focusChild();
    QCOMPARE(focused->text(QAccessible::Name), QString("640x480"));
    QVERIFY(focused->state().selected && !f.Cell(1, 1)->state().focused);
}
