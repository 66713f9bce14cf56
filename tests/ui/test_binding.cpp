// The control binding table on the real window: profiles loaded into the controls by
// the load pass (as a profile selection does) and stored back by the store pass.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "UiTestSupport.h"
#include "controls/SkinListCtrl.h"
#include "ui/ControlBinding.h"
#include "ui/OrreryDlg.h"

namespace {

using Values = QMap<QString, QString>;

// Stands in the store target before the pass, so a key the pass leaves alone shows.
const QString kUntouched = QStringLiteral("untouched");

profile::CProfileFile MakeProfile(const std::string& folder, const std::string& title, const Values& values,
                                  int type = 0)
{
    profile::CProfileFile profile;
    profile.CreateDefault();
    for (auto it = values.begin(); it != values.end(); ++it)
        profile.SetValue(it.key().toStdString(), it.value().toStdString());
    profile.name = "Profile " + title;
    profile.device = "generic";
    profile.version = "200";
    profile.type = type;
    profile.SetFileName(folder + "/Profiles/" + title + ".xml", title);
    return profile;
}

// Loads the profile the way a selection does: through the library, LoadProfile.
void ShowProfile(COrreryDlg& dialog, const profile::CProfileFile& profile, int outputType = 0)
{
    dialog.Library().AddProfile(profile.device, profile);
    dialog.SetSuppressChange(true);
    dialog.LoadProfile(profile.device, profile.fileTitle + ".xml", outputType);
}

// Runs the store pass into a fresh default profile whose keys of interest hold
// kUntouched, and returns what the pass left in them.
Values StoreInto(COrreryDlg& dialog, const QStringList& keys)
{
    profile::CProfileFile target;
    target.CreateDefault();
    for (const QString& key : keys)
        target.SetValue(key.toStdString(), kUntouched.toStdString());
    dialog.TypeFile().SetCurrentProfile(target);
    StoreControlsToProfile(&dialog.TypeFile(), &dialog);
    Values stored;
    for (const QString& key : keys) {
        std::string value;
        dialog.TypeFile().GetValue(key.toStdString(), value);
        stored[key] = QString::fromStdString(value);
    }
    return stored;
}

QList<int> RowData(const CSkinListCtrl* list)
{
    QList<int> data;
    for (int row = 0; row < list->RowCount(); ++row)
        data << list->GetRowData(row);
    return data;
}

} // namespace

class BindingTest : public QObject {
    Q_OBJECT

private slots:
    void listsRoundTrip_data();
    void listsRoundTrip();
    void topCheckedRowIsTheDefault();
    void fileNameThenProfileName();
    void editsSliderAndNumbers();
    void selectorsAndCopyCheckStore();
    void copySourceEmptiesAndDisablesTheAudioControls();
    void audioOnlyProfileWithCopyFormat();
    void handlersLeaveMissingKeysAndForeignControlsAlone();
    void tableRows();
    void frameRateTable();
};

void BindingTest::listsRoundTrip_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("list");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<Values>("stored");

    const QString freqList = "common.audio.freq.list";
    const QString freqValue = "common.audio.freq.value";
    const QString rateList = "common.audio.bitrate.list";
    const QString rateValue = "common.audio.bitrate.value";
    const QString sizeList = "common.video.size.list";
    const QString sizeValue = "common.video.size.out_size";
    const QString fpsList = "common.video.outfps.list";
    const QString fpsValue = "common.video.outfps.value";

    QTest::newRow("sample rates") << Values{{freqList, "32000,44100,48000"}, {freqValue, "44100"}} << 1020
                                  << QStringList{"32 kHz", "44.1 kHz", "48 kHz"} << QList<int>{1}
                                  << Values{{freqList, "32000,44100,48000"}, {freqValue, "44100"}};
    QTest::newRow("audio bitrates") << Values{{rateList, "64000,128000"}, {rateValue, "128000"}} << 1022
                                    << QStringList{"64 kbps", "128 kbps"} << QList<int>{1}
                                    << Values{{rateList, "64000,128000"}, {rateValue, "128000"}};
    QTest::newRow("11025 Hz") << Values{{freqList, "11025,22050"}, {freqValue, "11025"}} << 1020
                              << QStringList{"11.025 kHz", "22.05 kHz"} << QList<int>{0}
                              << Values{{freqList, "11025,22050"}, {freqValue, "11025"}};
    QTest::newRow("frame rates") << Values{{fpsList, "0,25,29.97"}, {fpsValue, "29.97"}} << 1019
                                 << QStringList{"Same as source", "25 fps", "29.97 fps"} << QList<int>{2}
                                 << Values{{fpsList, "0,25,29.97"}, {fpsValue, "29.97"}};
    QTest::newRow("source frame rate") << Values{{fpsList, "0,25,29.97"}, {fpsValue, "0"}} << 1019
                                       << QStringList{"Same as source", "25 fps", "29.97 fps"} << QList<int>{0}
                                       << Values{{fpsList, "0,25,29.97"}, {fpsValue, "0"}};
    // A rate the table lacks keeps its own text: shown, matched as the default and
    // stored back as it stands, never taken for the row of 24.
    QTest::newRow("rate outside the table") << Values{{fpsList, "25,17"}, {fpsValue, "17"}} << 1019
                                            << QStringList{"25 fps", "17 fps"} << QList<int>{1}
                                            << Values{{fpsList, "25,17"}, {fpsValue, "17"}};
    QTest::newRow("60 beside 24") << Values{{fpsList, "24,50,60"}, {fpsValue, "60"}} << 1019
                                  << QStringList{"24 fps", "50 fps", "60 fps"} << QList<int>{2}
                                  << Values{{fpsList, "24,50,60"}, {fpsValue, "60"}};
    QTest::newRow("24 beside 60") << Values{{fpsList, "24,60"}, {fpsValue, "24"}} << 1019
                                  << QStringList{"24 fps", "60 fps"} << QList<int>{0}
                                  << Values{{fpsList, "24,60"}, {fpsValue, "24"}};
    QTest::newRow("rate spelt unlike the table") << Values{{fpsList, "29.970,30"}, {fpsValue, "29.970"}} << 1019
                                                 << QStringList{"29.970 fps", "30 fps"} << QList<int>{0}
                                                 << Values{{fpsList, "29.970,30"}, {fpsValue, "29.970"}};
    QTest::newRow("frame sizes") << Values{{sizeList, "320x240,720x480"}, {sizeValue, "720x480"}} << 1012
                                 << QStringList{"320x240", "720x480"} << QList<int>{1}
                                 << Values{{sizeList, "320x240,720x480"}, {sizeValue, "720x480"}};
    QTest::newRow("empty list") << Values{{sizeList, ""}, {sizeValue, "640x480"}} << 1012 << QStringList{}
                                << QList<int>{} << Values{{sizeList, ""}, {sizeValue, ""}};
    QTest::newRow("empty frame-rate list") << Values{{fpsList, ""}, {fpsValue, "25"}} << 1019 << QStringList{}
                                           << QList<int>{} << Values{{fpsList, ""}, {fpsValue, ""}};
    QTest::newRow("empty sample-rate list") << Values{{freqList, ""}, {freqValue, "48000"}} << 1020 << QStringList{}
                                            << QList<int>{} << Values{{freqList, ""}, {freqValue, ""}};
    QTest::newRow("no checked row") << Values{{sizeList, "320x240,640x480"}, {sizeValue, "800x600"}} << 1012
                                    << QStringList{"320x240", "640x480"} << QList<int>{}
                                    << Values{{sizeList, "320x240,640x480"}, {sizeValue, kUntouched}};
    QTest::newRow("no checked frame rate") << Values{{fpsList, "25,30"}, {fpsValue, "29.97"}} << 1019
                                           << QStringList{"25 fps", "30 fps"} << QList<int>{}
                                           << Values{{fpsList, "25,30"}, {fpsValue, kUntouched}};
    QTest::newRow("two checked rows") << Values{{freqList, "44100,48000,44100"}, {freqValue, "44100"}} << 1020
                                      << QStringList{"44.1 kHz", "48 kHz", "44.1 kHz"} << QList<int>{0, 2}
                                      << Values{{freqList, "44100,48000,44100"}, {freqValue, "44100"}};
    // An empty piece stays an item.
    QTest::newRow("empty piece") << Values{{sizeList, "320x240,,640x480"}, {sizeValue, "640x480"}} << 1012
                                 << QStringList{"320x240", "", "640x480"} << QList<int>{2}
                                 << Values{{sizeList, "320x240,,640x480"}, {sizeValue, "640x480"}};
}

void BindingTest::listsRoundTrip()
{
    QFETCH(Values, values);
    QFETCH(int, list);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, checked);
    QFETCH(Values, stored);

    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "case", values));
    QVERIFY(!dialog->IsChanged());

    auto* control = ItemOf<CSkinListCtrl>(*dialog, list);
    QCOMPARE(ListTexts(control), texts);
    QCOMPARE(CheckedRows(control), checked);
    for (int row = 0; row < control->RowCount(); ++row)
        QVERIFY(control->Cell(row, 0)->toggleCell == 1);
    if (list == 1019) {
        QList<int> expected;
        for (const QString& text : texts) {
            const std::string rate =
                text == "Same as source" ? "0" : text.left(text.size() - 4).toStdString();
            expected << FrameRateRowData(rate);
        }
        QCOMPARE(RowData(control), expected);
    }

    const Values result = StoreInto(*dialog, stored.keys());
    QCOMPARE(result, stored);
}

void BindingTest::topCheckedRowIsTheDefault()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "case",
                                     {{"common.audio.freq.list", "32000,44100,48000"},
                                      {"common.audio.freq.value", "32000"},
                                      {"common.video.outfps.list", "15,25,30"},
                                      {"common.video.outfps.value", "15"}}));
    auto* samples = ItemOf<CSkinListCtrl>(*dialog, 1020);
    samples->SetToggle(0, 0, 0);
    samples->SetToggle(2, 0, 1);
    samples->SetToggle(1, 0, 1);
    auto* rates = ItemOf<CSkinListCtrl>(*dialog, 1019);
    rates->SetToggle(0, 0, 0);
    rates->SetToggle(2, 0, 1);
    rates->SetToggle(1, 0, 1);
    const Values stored = StoreInto(*dialog, {"common.audio.freq.value", "common.video.outfps.value"});
    QCOMPARE(stored.value("common.audio.freq.value"), QStringLiteral("44100"));
    QCOMPARE(stored.value("common.video.outfps.value"), QStringLiteral("25"));
}

void BindingTest::fileNameThenProfileName()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    profile::CProfileFile clip = MakeProfile(sandbox.ProgramFolder(), "Clip", {});
    clip.name = "My clip";
    clip.description.clear();
    const QString path = QString::fromStdString(clip.filePath);

    // The load pass alone shows the file name with its extension...
    dialog->TypeFile().SetCurrentProfile(clip);
    dialog->ClearProfileControls();
    LoadProfileToControls(&dialog->TypeFile(), dialog.get());
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1065)->text(), QStringLiteral("Clip.xml"));
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1000)->text(), path);
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1004)->text(), QStringLiteral("generic"));
    // ...an empty description leaves the box as the clearing left it...
    QCOMPARE(ItemOf<QPlainTextEdit>(*dialog, 1003)->toPlainText(), QString());

    // ...and the selection sequence replaces the file name by the profile's name.
    ShowProfile(*dialog, clip);
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1065)->text(), QStringLiteral("My clip"));
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1000)->text(), path);
    QCOMPARE(dialog->TypeFile().Name(), std::string("My clip"));

    // A path without any folder is its own file name.
    profile::CProfileFile bare = clip;
    bare.SetFileName("Bare.xml", "Bare");
    dialog->TypeFile().SetCurrentProfile(bare);
    dialog->ClearProfileControls();
    LoadProfileToControls(&dialog->TypeFile(), dialog.get());
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1065)->text(), QStringLiteral("Bare.xml"));
}

void BindingTest::editsSliderAndNumbers()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    profile::CProfileFile shown = MakeProfile(sandbox.ProgramFolder(), "numbers",
                                              {{"common.video.encode.minbitrate_kbps", "200"},
                                               {"common.video.encode.maxbitrate_kbps", "3000"},
                                               {"common.video.encode.bitrate_kbps", "800"}});
    shown.description = "Line one";
    ShowProfile(*dialog, shown);

    auto* slider = ItemOf<QSlider>(*dialog, 1023);
    QCOMPARE(slider->minimum(), 200);
    QCOMPARE(slider->maximum(), 3000);
    QCOMPARE(slider->value(), 800);
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1024)->text(), QStringLiteral("3000"));
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1026)->text(), QStringLiteral("800"));
    QCOMPARE(ItemOf<QPlainTextEdit>(*dialog, 1003)->toPlainText(), QStringLiteral("Line one"));

    // Edits are stored as they stand; the description goes to its root field, while
    // the name and path boxes are the save sequence's business.
    ItemOf<QLineEdit>(*dialog, 1026)->setText(QStringLiteral("1234.5"));
    ItemOf<QPlainTextEdit>(*dialog, 1003)->setPlainText(QStringLiteral("New words"));
    ItemOf<QLineEdit>(*dialog, 1065)->setText(QStringLiteral("Renamed"));
    const Values stored = StoreInto(*dialog, {"common.video.encode.maxbitrate_kbps", "common.video.encode.bitrate_kbps",
                                              "common.video.encode.minbitrate_kbps"});
    QCOMPARE(stored.value("common.video.encode.maxbitrate_kbps"), QStringLiteral("3000"));
    QCOMPARE(stored.value("common.video.encode.bitrate_kbps"), QStringLiteral("1234.5"));
    QCOMPARE(stored.value("common.video.encode.minbitrate_kbps"), kUntouched);
    QCOMPARE(dialog->TypeFile().Description(), std::string("New words"));
    QCOMPARE(dialog->TypeFile().Name(), std::string());
    QCOMPARE(dialog->TypeFile().FilePath(), std::string());

    // Texts that are no numbers count as 0 for the slider.
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "odd",
                                     {{"common.video.encode.minbitrate_kbps", "abc"},
                                      {"common.video.encode.maxbitrate_kbps", "900kbps"},
                                      {"common.video.encode.bitrate_kbps", "450"}}));
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 900);
    QCOMPARE(slider->value(), 450);
}

void BindingTest::selectorsAndCopyCheckStore()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "mkv",
                                     {{"common.file.format", "MKV"},
                                      {"common.video.encode.codec", "mpeg4"},
                                      {"common.audio.codec", "mp3"},
                                      {"common.video.encode.mode.value", "real_time"}}));
    // The format is found ignoring case; the codecs exactly.
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1029)->currentText(), QStringLiteral("mkv"));
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1030)->currentText(), QStringLiteral("mpeg4"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1031)), (QStringList{"aac", "mp3"}));
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1031)->currentText(), QStringLiteral("mp3"));
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1033)->currentIndex(), 0);

    const QStringList keys = {"common.file.format", "common.video.encode.codec", "common.audio.codec",
                              "vcodec.name", "acodec.name", "common.audio.copy"};
    ItemOf<QComboBox>(*dialog, 1031)->setCurrentIndex(0);
    Values stored = StoreInto(*dialog, keys);
    QCOMPARE(stored.value("common.file.format"), QStringLiteral("mkv"));
    QCOMPARE(stored.value("common.video.encode.codec"), QStringLiteral("mpeg4"));
    QCOMPARE(stored.value("common.audio.codec"), QStringLiteral("aac"));
    QCOMPARE(stored.value("vcodec.name"), QStringLiteral("mpeg4"));
    QCOMPARE(stored.value("acodec.name"), QStringLiteral("faac"));
    QCOMPARE(stored.value("common.audio.copy"), QStringLiteral("0"));

    // Without a selection the combo texts store empty and the codec names nothing; a
    // codec name outside the name table is stored as it stands.
    ItemOf<QComboBox>(*dialog, 1029)->setCurrentIndex(-1);
    ItemOf<QComboBox>(*dialog, 1030)->setCurrentIndex(-1);
    ItemOf<QComboBox>(*dialog, 1031)->addItem(QStringLiteral("wma10"));
    ItemOf<QComboBox>(*dialog, 1031)->setCurrentIndex(2);
    ItemOf<QCheckBox>(*dialog, 1036)->setChecked(true);
    stored = StoreInto(*dialog, keys);
    QCOMPARE(stored.value("common.file.format"), QString());
    QCOMPARE(stored.value("common.video.encode.codec"), QString());
    QCOMPARE(stored.value("vcodec.name"), kUntouched);
    QCOMPARE(stored.value("acodec.name"), QStringLiteral("wma10"));
    QCOMPARE(stored.value("common.audio.copy"), QStringLiteral("1"));

    // A third check state stores nothing.
    ItemOf<QCheckBox>(*dialog, 1036)->setTristate(true);
    ItemOf<QCheckBox>(*dialog, 1036)->setCheckState(Qt::PartiallyChecked);
    stored = StoreInto(*dialog, keys);
    QCOMPARE(stored.value("common.audio.copy"), kUntouched);
}

void BindingTest::copySourceEmptiesAndDisablesTheAudioControls()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "copy",
                                     {{"common.audio.copy", "1"},
                                      {"common.audio.freq.list", "44100,48000"},
                                      {"common.audio.freq.value", "48000"}}));
    QVERIFY(ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1031)->count(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1020)->RowCount(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1022)->RowCount(), 0);
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, false), QList<int>{});
    QVERIFY(!dialog->IsChanged());

    // The next profile copies nothing: the audio controls come back with its lists.
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "plain",
                                     {{"common.audio.copy", "0"},
                                      {"common.audio.freq.list", "44100,48000"},
                                      {"common.audio.freq.value", "48000"}}));
    QVERIFY(!ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, true), QList<int>{});
    QCOMPARE(ListTexts(ItemOf<CSkinListCtrl>(*dialog, 1020)), (QStringList{"44.1 kHz", "48 kHz"}));
    QCOMPARE(CheckedRows(ItemOf<CSkinListCtrl>(*dialog, 1020)), QList<int>{1});
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1031)->currentText(), QStringLiteral("mp3"));

    // Outside a load the copy state counts as an edit.
    ItemOf<QCheckBox>(*dialog, 1036)->setChecked(true);
    dialog->ApplyCopyState();
    QVERIFY(dialog->IsChanged());
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1020)->RowCount(), 0);
}

void BindingTest::audioOnlyProfileWithCopyFormat()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    // Audio-only profiles are shown while "Audio Only" is checked.
    ItemOf<QRadioButton>(*dialog, 1064)->setChecked(true);
    QCOMPARE(dialog->OutputType(), 2);
    profile::CProfileFile audio = MakeProfile(sandbox.ProgramFolder(), "audio", {{"common.file.format", ""}}, 2);
    audio.RemoveNode("common.video");
    ShowProfile(*dialog, audio, 2);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1029)), (QStringList{"copy", "ipod", "mp3", "mp4", "wav", "wma"}));
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1029)->currentText(), QStringLiteral("copy"));
    QVERIFY(ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1030)->count(), 0);
    QCOMPARE(ItemOf<QComboBox>(*dialog, 1033)->count(), 0);
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, 1012)->RowCount(), 0);
    QVERIFY(!dialog->GetDlgItem(1031)->isEnabled());

    // An audio-only format offers its own codecs.
    ShowProfile(*dialog, MakeProfile(sandbox.ProgramFolder(), "wav", {{"common.file.format", "wav"},
                                                                      {"common.audio.codec", "pcm"}}, 2),
                2);
    QVERIFY(!ItemOf<QCheckBox>(*dialog, 1036)->isChecked());
    QCOMPARE(ComboTexts(dialog->GetDlgItem(1031)), QStringList{"pcm"});
    QVERIFY(dialog->GetDlgItem(1031)->isEnabled());
}

void BindingTest::handlersLeaveMissingKeysAndForeignControlsAlone()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();

    // A profile without video settings: the video rows find no keys.
    profile::CProfileFile audio = MakeProfile(sandbox.ProgramFolder(), "novideo", {}, 2);
    audio.RemoveNode("common.video");
    audio.description = "kept words";
    QVERIFY(!audio.HasValue("common.video.size.list"));
    dialog->TypeFile().SetCurrentProfile(audio);
    auto* sizes = ItemOf<CSkinListCtrl>(*dialog, 1012);
    sizes->DeleteAllRows();
    sizes->InsertRow(0, QString());
    sizes->SetCellText(0, 1, QStringLiteral("kept"));
    auto* slider = ItemOf<QSlider>(*dialog, 1023);
    slider->setRange(5, 50);
    slider->setValue(7);
    LoadProfileToControls(&dialog->TypeFile(), dialog.get());
    QCOMPARE(ListTexts(sizes), QStringList{"kept"});
    QCOMPARE(slider->value(), 7);
    StoreControlsToProfile(&dialog->TypeFile(), dialog.get());
    QVERIFY(!dialog->TypeFile().HasValue("common.video.size.list"));

    // A row pointed at a control of another kind, or run without a holder or dialog,
    // does nothing.
    const ControlBinding listOnEdit = {"common.audio.freq.list", 1004, 2, 3, LoadValueList, StoreValueList};
    ItemOf<QLineEdit>(*dialog, 1004)->setText(QStringLiteral("device"));
    dialog->TypeFile().SetValue("common.audio.freq.list", "8000");
    LoadValueList(listOnEdit, &dialog->TypeFile(), dialog.get());
    StoreValueList(listOnEdit, &dialog->TypeFile(), dialog.get());
    QCOMPARE(ItemOf<QLineEdit>(*dialog, 1004)->text(), QStringLiteral("device"));
    std::string freq;
    dialog->TypeFile().GetValue("common.audio.freq.list", freq);
    QCOMPARE(freq, std::string("8000"));
    const ControlBinding editOnList = {"profile.description", 1020, 1, 1, LoadEditText, StoreEditText};
    LoadEditText(editOnList, &dialog->TypeFile(), dialog.get());
    StoreEditText(editOnList, &dialog->TypeFile(), dialog.get());
    QCOMPARE(dialog->TypeFile().Description(), audio.description);
    for (const ControlBinding& row : ControlBindings()) {
        if (row.load != nullptr) {
            row.load(row, nullptr, dialog.get());
            row.load(row, &dialog->TypeFile(), nullptr);
        }
        if (row.store != nullptr) {
            row.store(row, nullptr, dialog.get());
            row.store(row, &dialog->TypeFile(), nullptr);
        }
    }
    QCOMPARE(ListTexts(sizes), QStringList{"kept"});

    // A holder without a current profile is left alone as well.
    editor::CTypeFile empty;
    LoadProfileToControls(&empty, dialog.get());
    StoreControlsToProfile(&empty, dialog.get());
    QCOMPARE(ListTexts(sizes), QStringList{"kept"});
}

void BindingTest::tableRows()
{
    struct Row {
        const char* key;
        int id;
        int valueKind;
        int controlKind;
        BindingHandler load;
        BindingHandler store;
    };
    const Row expected[] = {
        {"common.file.format", 1029, 3, 0, nullptr, StoreComboText},
        {"common.video.encode.codec", 1030, 3, 0, nullptr, StoreComboText},
        {"common.audio.codec", 1031, 3, 0, nullptr, StoreComboText},
        {"profile.name", 1065, 1, 1, LoadEditText, StoreEditText},
        {"profile.description", 1003, 1, 1, LoadEditText, StoreEditText},
        {"profile.device", 1004, 1, 1, LoadEditText, nullptr},
        {"path", 1000, 1, 1, LoadEditText, StoreEditText},
        {"common.video.size.list", 1012, 4, 3, LoadValueList, nullptr},
        {"common.video.size.list", 1012, 4, 3, nullptr, StoreValueList},
        {"common.video.size.out_size", 1012, 4, 3, LoadDefaultMark, nullptr},
        {"common.video.size.out_size", 1012, 6, 3, nullptr, StoreDefaultValue},
        {"common.video.outfps.list", 1019, 5, 3, LoadFrameRateList, nullptr},
        {"common.video.outfps.list", 1019, 5, 3, nullptr, StoreFrameRateList},
        {"common.video.outfps.value", 1019, 5, 3, LoadDefaultMark, nullptr},
        {"common.video.outfps.value", 1019, 7, 3, nullptr, StoreDefaultFrameRate},
        {"common.audio.freq.list", 1020, 2, 3, LoadValueList, nullptr},
        {"common.audio.freq.list", 1020, 2, 3, nullptr, StoreValueList},
        {"common.audio.freq.value", 1020, 2, 3, LoadDefaultMark, nullptr},
        {"common.audio.freq.value", 1020, 0, 3, nullptr, StoreDefaultValue},
        {"common.audio.bitrate.list", 1022, 2, 3, LoadValueList, nullptr},
        {"common.audio.bitrate.list", 1022, 2, 3, nullptr, StoreValueList},
        {"common.audio.bitrate.value", 1022, 2, 3, LoadDefaultMark, nullptr},
        {"common.audio.bitrate.value", 1022, 0, 3, nullptr, StoreDefaultValue},
        {"common.video.encode.bitrate_kbps", 1023, 0, 4, LoadBitrateSlider, nullptr},
        {"common.video.encode.maxbitrate_kbps", 1024, 0, 1, LoadNumberEdit, nullptr},
        {"common.video.encode.maxbitrate_kbps", 1024, 0, 1, nullptr, StoreNumberEdit},
        {"common.video.encode.bitrate_kbps", 1026, 0, 1, LoadNumberEdit, nullptr},
        {"common.video.encode.bitrate_kbps", 1026, 0, 1, nullptr, StoreNumberEdit},
        {"vcodec.name", 1030, 3, 0, nullptr, StoreVideoCodecName},
        {"acodec.name", 1031, 3, 0, nullptr, StoreAudioCodecName},
        {"common.audio.copy", 1036, 0, 5, nullptr, StoreCopyCheck},
    };
    const auto rows = ControlBindings();
    QCOMPARE(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QByteArray where = QByteArray::number(static_cast<int>(i + 1));
        QVERIFY2(std::string(rows[i].key) == expected[i].key, where);
        QVERIFY2(rows[i].controlId == expected[i].id, where);
        QVERIFY2(rows[i].valueKind == expected[i].valueKind, where);
        QVERIFY2(rows[i].controlKind == expected[i].controlKind, where);
        QVERIFY2(rows[i].load == expected[i].load, where);
        QVERIFY2(rows[i].store == expected[i].store, where);
    }
    QCOMPARE(kFirstAudioListRow, 16);
    QCOMPARE(kLastAudioListRow, 23);
    QCOMPARE(std::string(rows[kFirstAudioListRow - 1].key), std::string("common.audio.freq.list"));
    QCOMPARE(std::string(rows[kLastAudioListRow - 1].key), std::string("common.audio.bitrate.value"));
}

void BindingTest::frameRateTable()
{
    const char* texts[] = {"0", "10", "12", "14", "14.985", "15", "20", "23.976", "24", "25", "29.97", "30"};
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(FrameRateIndex(texts[i]), i);
        QCOMPARE(std::string(FrameRateText(i)), std::string(texts[i]));
    }
    for (const char* other : {"", "29.970", " 25", "Same as source", "60"}) {
        QCOMPARE(FrameRateIndex(other), 8);
        QCOMPARE(FrameRateRowData(other), kOwnFrameRate);
    }
    for (int i = 0; i < 12; ++i)
        QCOMPARE(FrameRateRowData(texts[i]), i);
    QVERIFY(FrameRateText(-1) == nullptr);
    QVERIFY(FrameRateText(12) == nullptr);
}

QTEST_MAIN(BindingTest)
#include "test_binding.moc"
