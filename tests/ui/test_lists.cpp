// Editing the value lists on the real window: adding from the width and height edits
// and from the adders, removing the selected row, and choosing the default row with
// real mouse clicks; what the lists hold is checked again in the saved file.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "UiTestSupport.h"
#include "controls/SkinListCtrl.h"
#include "ui/ControlBinding.h"
#include "ui/OrreryDlg.h"

namespace {

// A left click in the middle of a cell, as the mouse makes it.
void ClickCell(CSkinListCtrl* list, int row, int column)
{
    const QRect cell = list->CellRect(row, column);
    QVERIFY(!cell.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

// A profile of the generic device made from the video template with some settings
// replaced, written where the window finds it.
bool WriteVideoProfile(const CSandbox& sandbox, const std::string& title,
                       const std::vector<std::pair<std::string, std::string>>& values)
{
    profile::CProfileFile profile;
    profile.CreateDefault();
    if (!profile.Load(std::string(ORRERY_DATA_DIR) + "/Template.Standard.xml"))
        return false;
    profile.name = title;
    profile.device = "generic";
    for (const auto& [key, value] : values)
        profile.SetValue(key, value);
    return QDir().mkpath(QString::fromStdString(sandbox.Path("program/Profiles"))) &&
           profile.Save(sandbox.Path("program/Profiles/" + title + ".xml"));
}

// The value of a key in the file the window wrote.
std::string SavedValue(const std::string& path, const std::string& key)
{
    std::string value = "<no value>";
    LoadProfileFile(path).GetValue(key, value);
    return value;
}

std::unique_ptr<COrreryDlg> ShownDialog(const CSandbox& sandbox)
{
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog.get()))
        return nullptr;
    return dialog;
}

} // namespace

class ListsTest : public QObject {
    Q_OBJECT

private slots:
    void frameSizesFromTheEdits();
    void frameSizesAreWholeAndRefusalsSayWhy();
    void frameRatesFromTheAdder();
    void sameAsSourceIsStoredAsZero();
    void rateOutsideTheTableKeepsItsText();
    void audioAddersFollowTheCopySwitch();
    void removeKeepsADefault();
    void clickOnTheValueMovesTheDefault();
    void clickOnTheDefaultCellLeavesOneChecked();
    void clickOnAnotherListOnlyMarksTheChange();
    void keysEditTheListsAsTheMouseAndRemoveDo();
};

void ListsTest::frameSizesFromTheEdits()
{
    CSandbox sandbox;
    QVERIFY(WriteVideoProfile(sandbox, "generic.Sizes",
                              {{"common.video.size.list", ""}, {"common.video.size.out_size", ""}}));
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* sizes = ItemOf<CSkinListCtrl>(*dialog, 1012);
    QCOMPARE(sizes->RowCount(), 0);

    TypeInto(dialog->GetDlgItem(1015), QStringLiteral("640"));
    TypeInto(dialog->GetDlgItem(1016), QStringLiteral("480"));
    QVERIFY(!dialog->IsChanged());
    Click(*dialog, 1017);
    QCOMPARE(ListTexts(sizes), QStringList{"640x480"});
    QCOMPARE(CheckedRows(sizes), QList<int>{0});
    QVERIFY(dialog->IsChanged());

    // The same size again, and a size without height, change nothing.
    dialog->SetChanged(false);
    Click(*dialog, 1017);
    TypeInto(dialog->GetDlgItem(1016), QString());
    Click(*dialog, 1017);
    TypeInto(dialog->GetDlgItem(1015), QString());
    TypeInto(dialog->GetDlgItem(1016), QStringLiteral("480"));
    Click(*dialog, 1017);
    QCOMPARE(ListTexts(sizes), QStringList{"640x480"});
    QVERIFY(!dialog->IsChanged());
    // A frame size is whole pixels: what else the edits take is not added.
    ItemOf<QLineEdit>(*dialog, 1015)->setText(QStringLiteral("720.5"));
    Click(*dialog, 1017);
    ItemOf<QLineEdit>(*dialog, 1015)->setText(QStringLiteral("-720"));
    Click(*dialog, 1017);
    QCOMPARE(ListTexts(sizes), QStringList{"640x480"});
    QVERIFY(!dialog->IsChanged());

    TypeInto(dialog->GetDlgItem(1015), QStringLiteral("720"));
    Click(*dialog, 1017);
    QCOMPARE(ListTexts(sizes), (QStringList{"640x480", "720x480"}));
    QCOMPARE(CheckedRows(sizes), QList<int>{0});
    QVERIFY(dialog->IsChanged());

    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.Sizes.xml");
    QCOMPARE(SavedValue(path, "common.video.size.list"), std::string("640x480,720x480"));
    QCOMPARE(SavedValue(path, "common.video.size.out_size"), std::string("640x480"));
}

void ListsTest::frameSizesAreWholeAndRefusalsSayWhy()
{
    CSandbox sandbox;
    QVERIFY(WriteVideoProfile(sandbox, "generic.Sizes",
                              {{"common.video.size.list", "640x480"}, {"common.video.size.out_size", "640x480"}}));
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* sizes = ItemOf<CSkinListCtrl>(*dialog, 1012);
    // The four number boxes take neither a sign nor a decimal point.
    for (int id : {1015, 1016, 1024, 1026}) {
        TypeInto(dialog->GetDlgItem(id), QStringLiteral("-7.2"));
        QCOMPARE(Text(*dialog, id), QStringLiteral("72"));
    }
    sandbox.Log()->messages.clear();
    const std::pair<QString, std::string> refused[] = {
        {QStringLiteral("0640"), "640x480 is already in the list."},
        {QStringLiteral("0"), "A frame size needs a width and a height above 0."},
    };
    TypeInto(dialog->GetDlgItem(1016), QStringLiteral("480"));
    for (const auto& [width, reason] : refused) {
        TypeInto(dialog->GetDlgItem(1015), width);
        Click(*dialog, 1017);
        QCOMPARE(sandbox.Log()->messages.size(), std::size_t(1));
        QCOMPARE(sandbox.Log()->messages.back().text, reason);
        QCOMPARE(sandbox.Log()->messages.back().caption, std::string("Kestro Orrery"));
        sandbox.Log()->messages.clear();
    }
    TypeInto(dialog->GetDlgItem(1015), QStringLiteral("0720"));
    Click(*dialog, 1017);
    QCOMPARE(ListTexts(sizes), (QStringList{"640x480", "720x480"}));
    QVERIFY(sandbox.Log()->messages.empty());
}

void ListsTest::frameRatesFromTheAdder()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* rates = ItemOf<CSkinListCtrl>(*dialog, 1019);
    auto* adder = ItemOf<QComboBox>(*dialog, 1037);
    QCOMPARE(ListTexts(rates), (QStringList{"Same as source", "23.976 fps", "25 fps", "29.97 fps", "30 fps"}));

    // The adder starts on "Same as source", which the list has.
    QCOMPARE(adder->currentText(), QStringLiteral("Same as source"));
    Click(*dialog, 1021);
    QCOMPARE(rates->RowCount(), 5);
    QVERIFY(!dialog->IsChanged());

    adder->setCurrentIndex(adder->findText(QStringLiteral("10 fps")));
    Click(*dialog, 1021);
    QCOMPARE(ListTexts(rates).last(), QStringLiteral("10 fps"));
    QCOMPARE(rates->GetRowData(5), 1);
    QCOMPARE(CheckedRows(rates), QList<int>{0});
    QVERIFY(dialog->IsChanged());

    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    QCOMPARE(SavedValue(path, "common.video.outfps.list"), std::string("0,23.976,25,29.97,30,10"));
    QCOMPARE(SavedValue(path, "common.video.outfps.value"), std::string("0"));
}

void ListsTest::sameAsSourceIsStoredAsZero()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* rates = ItemOf<CSkinListCtrl>(*dialog, 1019);
    ClickCell(rates, 0, 1);
    Click(*dialog, 1025);
    QCOMPARE(ListTexts(rates), (QStringList{"23.976 fps", "25 fps", "29.97 fps", "30 fps"}));
    QCOMPARE(CheckedRows(rates), QList<int>{0});
    Click(*dialog, 1021);
    QCOMPARE(ListTexts(rates).last(), QStringLiteral("Same as source"));
    QCOMPARE(rates->GetRowData(4), 0);

    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    QCOMPARE(SavedValue(path, "common.video.outfps.list"), std::string("23.976,25,29.97,30,0"));
    QCOMPARE(SavedValue(path, "common.video.outfps.value"), std::string("23.976"));
}

void ListsTest::rateOutsideTheTableKeepsItsText()
{
    // A configuration may offer rates the frame-rate table lacks.
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Orrery.xml",
                              "<editor>\r\n<profile>\r\n<common>\r\n<video>\r\n"
                              "<outfps list=\"Same as source,24,50,60\"/>\r\n"
                              "</video>\r\n</common>\r\n</profile>\r\n</editor>\r\n"));
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* adder = ItemOf<QComboBox>(*dialog, 1037);
    QCOMPARE(ComboTexts(adder), (QStringList{"Same as source", "24 fps", "50 fps", "60 fps"}));
    auto* rates = ItemOf<CSkinListCtrl>(*dialog, 1019);
    for (const char* rate : {"60 fps", "24 fps"}) {
        adder->setCurrentIndex(adder->findText(QString::fromUtf8(rate)));
        Click(*dialog, 1021);
    }
    QCOMPARE(rates->GetRowData(5), kOwnFrameRate);
    QCOMPARE(rates->GetRowData(6), FrameRateIndex("24"));
    ClickCell(rates, 5, 0);
    QCOMPARE(CheckedRows(rates), QList<int>{5});

    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    QCOMPARE(SavedValue(path, "common.video.outfps.list"), std::string("0,23.976,25,29.97,30,60,24"));
    QCOMPARE(SavedValue(path, "common.video.outfps.value"), std::string("60"));

    // Shown again, the 60 row alone is the default.
    sandbox.Log()->answers = {kIdNo};
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("psp")));
    QVERIFY(Choose(dialog->GetDlgItem(1027), QStringLiteral("generic")));
    QCOMPARE(ListTexts(rates).mid(5), (QStringList{"60 fps", "24 fps"}));
    QCOMPARE(CheckedRows(rates), QList<int>{5});
}

void ListsTest::audioAddersFollowTheCopySwitch()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* bitrates = ItemOf<CSkinListCtrl>(*dialog, 1022);
    auto* samples = ItemOf<CSkinListCtrl>(*dialog, 1020);
    auto* bitrateAdder = ItemOf<QComboBox>(*dialog, 1038);
    auto* sampleAdder = ItemOf<QComboBox>(*dialog, 1040);
    QCOMPARE(bitrateAdder->currentText(), QStringLiteral("32 kbps"));

    Click(*dialog, 1036);
    dialog->SetChanged(false);
    QVERIFY(!dialog->AddFromSelector(bitrates, bitrateAdder, COrreryDlg::ListKind::AudioBitrate));
    QVERIFY(!dialog->AddFromSelector(samples, sampleAdder, COrreryDlg::ListKind::SampleRate));
    QCOMPARE(bitrates->RowCount(), 0);
    QCOMPARE(samples->RowCount(), 0);
    QVERIFY(!dialog->IsChanged());

    Click(*dialog, 1036);
    Click(*dialog, 1035);
    QCOMPARE(ListTexts(bitrates), (QStringList{"64 kbps", "96 kbps", "128 kbps", "192 kbps", "32 kbps"}));
    QCOMPARE(CheckedRows(bitrates), QList<int>{2});
    // The sample-rate adder starts on a rate the list has.
    dialog->SetChanged(false);
    Click(*dialog, 1060);
    QCOMPARE(samples->RowCount(), 3);
    QVERIFY(!dialog->IsChanged());

    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    QCOMPARE(SavedValue(path, "common.audio.bitrate.list"), std::string("64000,96000,128000,192000,32000"));
    QCOMPARE(SavedValue(path, "common.audio.bitrate.value"), std::string("128000"));
}

void ListsTest::removeKeepsADefault()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* samples = ItemOf<CSkinListCtrl>(*dialog, 1020);
    QCOMPARE(CheckedRows(samples), QList<int>{1});

    // Nothing selected: nothing removed, nothing changed.
    QCOMPARE(samples->FirstSelectedRow(), -1);
    Click(*dialog, 1062);
    QCOMPARE(samples->RowCount(), 3);
    QVERIFY(!dialog->IsChanged());

    // Removing the checked row of three checks the new first row.
    ClickCell(samples, 1, 1);
    dialog->SetChanged(false);
    Click(*dialog, 1062);
    QCOMPARE(ListTexts(samples), (QStringList{"32 kHz", "48 kHz"}));
    QCOMPARE(CheckedRows(samples), QList<int>{0});
    QVERIFY(dialog->IsChanged());

    // Removing an unchecked row leaves the default where it is.
    samples->SelectRow(1);
    Click(*dialog, 1062);
    QCOMPARE(ListTexts(samples), QStringList{"32 kHz"});
    QCOMPARE(CheckedRows(samples), QList<int>{0});

    samples->SelectRow(0);
    Click(*dialog, 1062);
    QCOMPARE(samples->RowCount(), 0);
    dialog->SetChanged(false);
    Click(*dialog, 1062);
    QVERIFY(!dialog->IsChanged());

    dialog->SetChanged(true);
    Click(*dialog, 1032);
    const std::string path = sandbox.Path("program/Profiles/generic.Standard.xml");
    const std::string bytes = ReadBytes(path);
    QVERIFY2(bytes.find("<freq value=\"\" list=\"\"/>") != std::string::npos, bytes.c_str());
}

void ListsTest::clickOnTheValueMovesTheDefault()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* bitrates = ItemOf<CSkinListCtrl>(*dialog, 1022);
    QCOMPARE(CheckedRows(bitrates), QList<int>{2});

    ClickCell(bitrates, 0, 1);
    QCOMPARE(CheckedRows(bitrates), QList<int>{0});
    QCOMPARE(bitrates->FirstSelectedRow(), 0);
    QVERIFY(dialog->IsChanged());

    // The checked row stays checked, and the click still counts as an edit.
    dialog->SetChanged(false);
    ClickCell(bitrates, 0, 1);
    QCOMPARE(CheckedRows(bitrates), QList<int>{0});
    QVERIFY(dialog->IsChanged());

    Click(*dialog, 1032);
    QCOMPARE(SavedValue(sandbox.Path("program/Profiles/generic.Standard.xml"), "common.audio.bitrate.value"),
             std::string("64000"));
}

void ListsTest::clickOnTheDefaultCellLeavesOneChecked()
{
    CSandbox sandbox;
    // A list that holds its default twice shows two checked rows.
    QVERIFY(WriteVideoProfile(sandbox, "generic.Twice",
                              {{"common.video.size.list", "320x240,640x480,720x480,640x480"},
                               {"common.video.size.out_size", "640x480"}}));
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* sizes = ItemOf<CSkinListCtrl>(*dialog, 1012);
    QCOMPARE(CheckedRows(sizes), (QList<int>{1, 3}));

    // An unchecked row becomes the single checked row.
    ClickCell(sizes, 2, 0);
    QCOMPARE(CheckedRows(sizes), QList<int>{2});
    QVERIFY(dialog->IsChanged());
    // The checked row stays checked.
    ClickCell(sizes, 2, 0);
    QCOMPARE(CheckedRows(sizes), QList<int>{2});
    ClickCell(sizes, 0, 0);
    QCOMPARE(CheckedRows(sizes), QList<int>{0});
    QCOMPARE(sizes->FirstSelectedRow(), 0);

    // A double click (press, release, double-click press, release) does not take it
    // away either.
    const QPoint cell = sizes->CellRect(3, 0).center();
    QTest::mouseClick(sizes->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    QTest::mouseDClick(sizes->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    QTest::mouseRelease(sizes->viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    QCOMPARE(CheckedRows(sizes), QList<int>{3});

    Click(*dialog, 1032);
    QCOMPARE(SavedValue(sandbox.Path("program/Profiles/generic.Twice.xml"), "common.video.size.out_size"),
             std::string("640x480"));
    ClickCell(sizes, 0, 0);
    Click(*dialog, 1032);
    QCOMPARE(SavedValue(sandbox.Path("program/Profiles/generic.Twice.xml"), "common.video.size.out_size"),
             std::string("320x240"));
}

void ListsTest::clickOnAnotherListOnlyMarksTheChange()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    CSkinListCtrl stranger;
    stranger.InsertColumn(0, QStringLiteral("Default"), 40);
    stranger.InsertRow(0, QString());
    stranger.MakeToggleCell(0, 0);
    QCOMPARE(dialog->OnListRowClicked(&stranger, 0), 1);
    QCOMPARE(stranger.GetToggle(0, 0), 0);
    QVERIFY(dialog->IsChanged());
    for (int id : COrreryDlg::kValueLists)
        QVERIFY(!CheckedRows(ItemOf<CSkinListCtrl>(*dialog, id)).isEmpty());
}

void ListsTest::keysEditTheListsAsTheMouseAndRemoveDo()
{
    CSandbox sandbox;
    auto dialog = ShownDialog(sandbox);
    QVERIFY(dialog);
    auto* samples = ItemOf<CSkinListCtrl>(*dialog, 1020);
    QCOMPARE(CheckedRows(samples), QList<int>{1});
    samples->setFocus(Qt::TabFocusReason);
    QCOMPARE(samples->FocusedRow(), 1);

    // Space on another row makes it the default, as a click on it does.
    QTest::keyClick(samples, Qt::Key_Down);
    QVERIFY(!dialog->IsChanged());
    QTest::keyClick(samples, Qt::Key_Space);
    QCOMPARE(CheckedRows(samples), QList<int>{2});
    QVERIFY(dialog->IsChanged());

    // Delete removes the focused row as Remove does: the checked row goes, the first
    // row becomes the default.
    QTest::keyClick(samples, Qt::Key_Delete);
    QCOMPARE(ListTexts(samples), (QStringList{"32 kHz", "44.1 kHz"}));
    QCOMPARE(CheckedRows(samples), QList<int>{0});
}

QTEST_MAIN(ListsTest)
#include "test_lists.moc"
