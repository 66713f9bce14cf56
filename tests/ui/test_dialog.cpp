// The main window as the program starts it: folders, configuration, choices, profiles,
// the first device's first profile, the layout, the window menu and its About box.

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <map>
#include <set>

#include "UiTestSupport.h"
#include "controls/FieldNumericEdit.h"
#include "controls/FittingComboBox.h"
#include "controls/SkinListCtrl.h"
#include "platform/MyRegKey.h"
#include "platform/Platform.h"
#include "ui/AboutDlg.h"
#include "ui/DialogUnits.h"
#include "ui/OrreryDlg.h"
#include "ui/StringTable.h"

namespace {

const QStringList kBuiltInDevices = {"generic", "appleTV", "cellphone", "iPhone", "ipod", "ipodTouch", "nds",
                                     "pda", "ps3", "psp2000", "psp", "pvp", "xbox360", "zune"};

QString EditText(const COrreryDlg& dialog, int id)
{
    if (auto* line = ItemOf<QLineEdit>(dialog, id))
        return line->text();
    if (auto* multi = ItemOf<QPlainTextEdit>(dialog, id))
        return multi->toPlainText();
    return QStringLiteral("<no edit %1>").arg(id);
}

QString ComboText(const COrreryDlg& dialog, int id)
{
    auto* combo = ItemOf<QComboBox>(dialog, id);
    return combo != nullptr ? combo->currentText() : QStringLiteral("<no combo %1>").arg(id);
}

int MulDiv(int value, int base, int divisor)
{
    return (value * base + divisor / 2) / divisor;
}

// Closes the next modal window that opens and remembers what it was.
struct ModalCatcher {
    QString className;
    QStringList labels;
    QString title;
    QPixmap picture;
    void Arm(int delay = 0)
    {
        QTimer::singleShot(delay, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr)
                return;
            className = QString::fromUtf8(modal->metaObject()->className());
            title = modal->windowTitle();
            picture = modal->grab();
            for (const QLabel* label : modal->findChildren<QLabel*>())
                labels << label->text();
            if (auto* ok = modal->findChild<QPushButton*>(QStringLiteral("1")))
                ok->click();
            else
                modal->close();
        });
    }
};

// A caption as it reads on the screen: without the "&" that marks its mnemonic.
QString Shown(QString text)
{
    static const QRegularExpression mark(QStringLiteral("&(.)"));
    return text.replace(mark, QStringLiteral("\\1"));
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithFirstDeviceAndItsFirstProfile();
    void fillingDoesNotMarkTheProfileChanged();
    void everyControlAtItsPlace_data();
    void everyControlAtItsPlace();
    void tabOrderFollowsTheLayout();
    void mnemonicsAreUniqueAndLeadToTheirControls();
    void everyControlHasAnAccessibleNameAndRole();
    void windowKeepsTheLayoutProportions();
    void largerWindowGrowsTheListsAndTheDescription();
    void smallerWindowScrollsToTheFocusedControl();
    void windowFitsTheScreen();
    void adderShowsItsLongestChoiceWhole();
    void installFolderFromSettingsIsTheProfilesRoot();
    void configurationFileChangesTheDevices();
    void libraryDevicesJoinTheSelectorOnce();
    void pendingDeletionsAreCarriedOutBeforeTheScan();
    void aboutEntryOpensTheAboutBox();
    void messagesCarryCaptionTextAndPath();
    void realMessageBoxAnswersWithTheButtonPressed();
    void realSaveDialogStartsWhereAsked();
    void deviceWithoutProfilesShowsNothing();
    void stringTable();
    void screenshotOfTheStartedWindow();
    void screenshotInADarkPalette();
};

// The frame-rate adder is narrower than "Same as source" in the window's own font; the
// closed field still shows the whole text, and a short choice keeps the window's font.
void DialogTest::adderShowsItsLongestChoiceWhole()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());
    dialog->show();
    auto* adder = dynamic_cast<CFittingComboBox*>(dialog->GetDlgItem(kIdcFrameRateAdder));
    QVERIFY(adder);
    adder->setCurrentIndex(adder->findText(QStringLiteral("Same as source")));
    QCOMPARE(adder->currentText(), QStringLiteral("Same as source"));
    const int room = adder->TextRect().width();
    QVERIFY(QFontMetrics(adder->font()).horizontalAdvance(adder->currentText()) > room - 2);
    QVERIFY(QFontMetrics(adder->DisplayFont()).horizontalAdvance(adder->currentText()) <= room - 2);
    adder->setCurrentIndex(adder->findText(QStringLiteral("25")));
    QCOMPARE(adder->DisplayFont(), adder->font());
}

void DialogTest::startsWithFirstDeviceAndItsFirstProfile()
{
    CSandbox sandbox;
    QVERIFY(sandbox.IsValid());
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());

    QVERIFY(ItemOf<QRadioButton>(*dialog, kIdcVideoAndAudio)->isChecked());
    QVERIFY(!ItemOf<QRadioButton>(*dialog, kIdcAudioOnly)->isChecked());
    QCOMPARE(dialog->OutputType(), 0);

    // A bare program folder: the configured devices, each with its two default
    // profiles made from the templates, none of them on disk yet.
    auto* devices = ItemOf<QComboBox>(*dialog, kIdcDeviceSelector);
    QCOMPARE(ComboTexts(devices), kBuiltInDevices);
    QCOMPARE(devices->currentIndex(), 0);
    QCOMPARE(dialog->Library().Size(), static_cast<std::size_t>(2 * kBuiltInDevices.size()));
    QVERIFY(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).exists());
    QVERIFY(QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).isEmpty());
    QVERIFY(dialog->InstallFolder().empty());
    QCOMPARE(dialog->ProgramFolderPath(), sandbox.ProgramFolder());

    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)), QStringList{"generic.Standard.xml"});
    QCOMPARE(ComboText(*dialog, kIdcProfileSelector), QStringLiteral("generic.Standard.xml"));

    // The profile made from Template.Standard, shown control by control.
    QCOMPARE(EditText(*dialog, kIdcProfileName), QStringLiteral("default"));
    QCOMPARE(EditText(*dialog, kIdcDeviceName), QStringLiteral("generic"));
    QCOMPARE(EditText(*dialog, kIdcDescription),
             QStringLiteral("H.264 video with AAC audio in an MP4 file, for most players"));
    QCOMPARE(EditText(*dialog, kIdcProfilePath),
             QString::fromStdString(sandbox.Path("program/Profiles/generic.Standard.xml")));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcFormat)),
             (QStringList{"3g2", "avi", "dpg", "mkv", "mp4", "psp", "ipod_mp4", "ipod avc", "wmv"}));
    QCOMPARE(ComboText(*dialog, kIdcFormat), QStringLiteral("mp4"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcVideoCodec)), (QStringList{"h264", "mpeg4"}));
    QCOMPARE(ComboText(*dialog, kIdcVideoCodec), QStringLiteral("h264"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcAudioCodec)), QStringList{"aac"});
    QCOMPARE(ComboText(*dialog, kIdcAudioCodec), QStringLiteral("aac"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcEncodingMode)),
             (QStringList{"Fast encoding (1-pass)", "High quality encoding (2-pass)"}));
    QCOMPARE(ComboText(*dialog, kIdcEncodingMode), QStringLiteral("High quality encoding (2-pass)"));

    auto* sizes = ItemOf<CSkinListCtrl>(*dialog, kIdcFrameSizes);
    QCOMPARE(ListTexts(sizes), (QStringList{"320x240", "480x272", "640x480", "720x480"}));
    QCOMPARE(CheckedRows(sizes), QList<int>{2});
    auto* rates = ItemOf<CSkinListCtrl>(*dialog, kIdcFrameRates);
    QCOMPARE(ListTexts(rates), (QStringList{"Same as source", "23.976 fps", "25 fps", "29.97 fps", "30 fps"}));
    QCOMPARE(CheckedRows(rates), QList<int>{0});
    auto* samples = ItemOf<CSkinListCtrl>(*dialog, kIdcSampleRates);
    QCOMPARE(ListTexts(samples), (QStringList{"32 kHz", "44.1 kHz", "48 kHz"}));
    QCOMPARE(CheckedRows(samples), QList<int>{1});
    auto* bitrates = ItemOf<CSkinListCtrl>(*dialog, kIdcAudioBitrates);
    QCOMPARE(ListTexts(bitrates), (QStringList{"64 kbps", "96 kbps", "128 kbps", "192 kbps"}));
    QCOMPARE(CheckedRows(bitrates), QList<int>{2});

    auto* slider = ItemOf<QSlider>(*dialog, kIdcBitrateSlider);
    QCOMPARE(slider->minimum(), 100);
    QCOMPARE(slider->maximum(), 2500);
    QCOMPARE(slider->value(), 1200);
    QCOMPARE(EditText(*dialog, kIdcMaxBitrate), QStringLiteral("2500"));
    QCOMPARE(EditText(*dialog, kIdcDefaultBitrate), QStringLiteral("1200"));
    QVERIFY(!ItemOf<QCheckBox>(*dialog, kIdcCopySource)->isChecked());
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kAudioControls, true), QList<int>{});

    // The adders offer the configured choices, the first selected.
    QCOMPARE(ComboText(*dialog, kIdcFrameRateAdder), QStringLiteral("Same as source"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcSampleRateAdder)), (QStringList{"32 kHz", "44.1 kHz", "48 kHz"}));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcAudioBitrateAdder)).size(), 8);

    // The window's copies: the shown profile is the library's, twice copied.
    QCOMPARE(dialog->LoadedProfile().fileTitle, std::string("generic.Standard"));
    QCOMPARE(dialog->TypeFile().FileTitle(), std::string("generic.Standard"));
    QVERIFY(dialog->TypeFile().GetCurrentProfile() != &dialog->LoadedProfile());
    QCOMPARE(dialog->TypeFile().Type(), 0);

    // Running it again changes nothing.
    QVERIFY(dialog->OnInitDialog());
    QCOMPARE(ComboTexts(devices), kBuiltInDevices);
}

void DialogTest::fillingDoesNotMarkTheProfileChanged()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    QVERIFY(!dialog->IsChanged());
    QVERIFY(dialog->IsChangeSuppressed());

    QSignalSpy nameSpy(ItemOf<QLineEdit>(*dialog, kIdcProfileName), &QLineEdit::textChanged);
    QSignalSpy descriptionSpy(ItemOf<QPlainTextEdit>(*dialog, kIdcDescription), &QPlainTextEdit::textChanged);
    QSignalSpy codecSpy(ItemOf<QComboBox>(*dialog, kIdcVideoCodec), &QComboBox::currentIndexChanged);
    dialog->OnInitDialog();

    // The start-up filling raised the very notifications that mark a profile changed...
    QVERIFY(nameSpy.count() > 0);
    QVERIFY(descriptionSpy.count() > 0);
    QVERIFY(codecSpy.count() > 0);
    // ...and the profile still counts as unchanged, with notifications live again.
    QVERIFY(!dialog->IsChanged());
    QVERIFY(!dialog->IsChangeSuppressed());

    ItemOf<QPlainTextEdit>(*dialog, kIdcDescription)->setPlainText(QStringLiteral("edited"));
    QVERIFY(dialog->IsChanged());

    // A reload suppresses the notifications again and ends unchanged.
    dialog->SetSuppressChange(true);
    dialog->SelectDevice("psp", 0);
    QVERIFY(!dialog->IsChanged());
    QCOMPARE(EditText(*dialog, kIdcDeviceName), QStringLiteral("psp"));
    QCOMPARE(ComboText(*dialog, kIdcProfileSelector), QStringLiteral("psp.Standard.xml"));
}

void DialogTest::everyControlAtItsPlace_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("rect");   // dialog units
    QTest::addColumn<bool>("visible");

    struct Row {
        int id;
        const char* kind;
        const char* caption;
        int l, t, w, h;
        bool visible;
    };
    const Row rows[] = {
        {1027, "QComboBox", "", 20, 18, 120, 436, true},
        {1028, "QComboBox", "", 140, 56, 272, 308, true},
        {1004, "QLineEdit", "", 144, 18, 120, 14, true},
        {1041, "QPushButton", "Add Device", 268, 18, 76, 14, true},
        {1061, "QPushButton", "Remove Device", 352, 18, 76, 14, true},
        {1042, "QPushButton", "Rename Device", 436, 18, 76, 14, false},
        {1029, "QComboBox", "", 144, 191, 80, 172, true},
        {1000, "QLineEdit", "", 140, 136, 392, 14, true},
        {1058, "QLineEdit", "", 416, 112, 116, 14, false},
        {1003, "QPlainTextEdit", "", 140, 92, 272, 36, true},
        {1030, "QComboBox", "", 48, 231, 52, 80, true},
        {1033, "QComboBox", "", 180, 231, 116, 80, true},
        {1026, "CFieldNumericEdit", "", 92, 255, 42, 14, true},
        {1024, "CFieldNumericEdit", "", 256, 255, 40, 14, true},
        {1023, "QSlider", "", 12, 276, 288, 15, true},
        {1012, "CSkinListCtrl", "", 20, 300, 136, 112, true},
        {1019, "CSkinListCtrl", "", 176, 300, 108, 112, true},
        {1015, "CFieldNumericEdit", "", 20, 447, 32, 14, true},
        {1016, "CFieldNumericEdit", "", 68, 447, 32, 14, true},
        {1017, "QPushButton", "Add", 104, 447, 60, 14, true},
        {1018, "QPushButton", "Remove", 104, 428, 60, 14, true},
        {1037, "QComboBox", "", 176, 447, 56, 96, true},
        {1021, "QPushButton", "Add", 236, 447, 56, 14, true},
        {1025, "QPushButton", "Remove", 236, 428, 56, 14, true},
        {1036, "QCheckBox", "Copy source directly", 324, 231, 168, 10, true},
        {1031, "QComboBox", "", 352, 252, 47, 96, true},
        {1022, "CSkinListCtrl", "", 324, 276, 92, 108, true},
        {1020, "CSkinListCtrl", "", 436, 276, 88, 108, true},
        {1038, "QComboBox", "", 324, 420, 44, 96, true},
        {1035, "QPushButton", "Add", 372, 420, 52, 14, true},
        {1039, "QPushButton", "Remove", 372, 399, 52, 14, true},
        {1040, "QComboBox", "", 436, 420, 40, 96, true},
        {1060, "QPushButton", "Add", 480, 420, 52, 14, true},
        {1062, "QPushButton", "Remove", 479, 400, 52, 14, true},
        {1032, "QPushButton", "Save", 312, 452, 72, 14, true},
        {1011, "QPushButton", "Save As", 392, 452, 72, 14, true},
        {1034, "QPushButton", "Close", 472, 452, 72, 14, true},
        {1047, "QLabel", "File name", 20, 57, 120, 8, true},
        {-1, "QGroupBox", "Video", 8, 216, 296, 252, true},
        {-1, "QLabel", "x", 56, 448, 8, 8, true},
        {1055, "QLabel", "Max bitrate (kbps)", 192, 258, 60, 8, true},
        {1054, "QLabel", "Default bitrate (kbps)", 20, 258, 67, 8, true},
        {1053, "QLabel", "Codec", 20, 233, 24, 8, true},
        {1046, "QLabel", "Output file format", 20, 193, 120, 8, true},
        {1044, "QGroupBox", "Container", 8, 164, 536, 48, true},
        {1045, "QGroupBox", "Profile", 8, 44, 536, 116, true},
        {1048, "QLabel", "Profile description", 20, 92, 120, 8, true},
        {1049, "QLabel", "Profile file path", 20, 136, 120, 8, true},
        {1043, "QGroupBox", "Device", 8, 4, 536, 36, true},
        {-1, "QGroupBox", "Audio", 312, 215, 232, 224, true},
        {1050, "QLabel", "Codec", 324, 254, 24, 8, true},
        {1059, "QLabel", "Encoding Method", 116, 233, 60, 8, true},
        {-1, "QLabel", "Width", 20, 436, 32, 8, true},
        {-1, "QLabel", "Height", 68, 436, 32, 8, true},
        {1063, "QRadioButton", "Video + Audio", 144, 175, 96, 10, true},
        {1064, "QRadioButton", "Audio Only", 248, 175, 76, 10, true},
        {1051, "QLabel", "Output type", 20, 177, 120, 8, true},
        {1065, "QLineEdit", "", 140, 72, 272, 14, true},
        {1066, "QLabel", "Profile name", 20, 76, 40, 8, true},
    };
    for (const Row& row : rows) {
        const QString tag = row.id > 0 ? QString::number(row.id) : QStringLiteral("static %1").arg(row.caption);
        QTest::newRow(qPrintable(tag)) << row.id << QString::fromUtf8(row.kind) << QString::fromUtf8(row.caption)
                                       << QRect(row.l, row.t, row.w, row.h) << row.visible;
    }
}

void DialogTest::everyControlAtItsPlace()
{
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, rect);
    QFETCH(bool, visible);

    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);

    QWidget* widget = nullptr;
    if (id > 0) {
        widget = dialog->GetDlgItem(id);
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->objectName(), QString::number(id));
        QCOMPARE(dialog->findChild<QWidget*>(QString::number(id)), widget);
    } else {
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(child);
            const auto* group = qobject_cast<QGroupBox*>(child);
            if ((label != nullptr && Shown(label->text()) == caption) ||
                (group != nullptr && group->title() == caption)) {
                if (child->objectName().isEmpty())
                    widget = child;
            }
        }
        QVERIFY2(widget != nullptr, qPrintable(caption));
    }
    QCOMPARE(QString::fromUtf8(widget->metaObject()->className()), kind);

    QString shown;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        shown = button->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        shown = label->text();
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        shown = group->title();
    QCOMPARE(Shown(shown), caption);
    QCOMPARE(widget->isVisible(), visible);
    QVERIFY(widget->isEnabled());

    const CDialogUnits units(dialog->font());
    const int bx = units.BaseUnitX();
    const int by = units.BaseUnitY();
    const QRect geometry = widget->geometry();
    QCOMPARE(geometry.left(), MulDiv(rect.left(), bx, 4));
    QCOMPARE(geometry.top(), MulDiv(rect.top(), by, 8));
    QCOMPARE(geometry.width(), MulDiv(rect.left() + rect.width(), bx, 4) - MulDiv(rect.left(), bx, 4));
    // A drop-down list's rectangle includes its open list; the closed field is one
    // edit box high and the list shows about as many lines as the rectangle holds.
    const int height = kind == QLatin1String("QComboBox") ? 14 : rect.height();
    QCOMPARE(geometry.height(), MulDiv(rect.top() + height, by, 8) - MulDiv(rect.top(), by, 8));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QVERIFY(combo->maxVisibleItems() >= 1);
        QVERIFY(combo->maxVisibleItems() * combo->fontMetrics().height() <= MulDiv(rect.height(), by, 8));
        QVERIFY(!combo->isEditable());
    }

    if (id == 1032)
        QVERIFY(qobject_cast<QPushButton*>(widget)->isDefault());
    if (id == 1000)
        QVERIFY(qobject_cast<QLineEdit*>(widget)->isReadOnly());
    if (auto* numeric = qobject_cast<CFieldNumericEdit*>(widget)) {
        // At most 9 whole digits and 4 decimals.
        numeric->setText(QStringLiteral("12345678901.234567"));
        QCOMPARE(numeric->text(), QStringLiteral("123456789.2345"));
    }
}

void DialogTest::tabOrderFollowsTheLayout()
{
    // Tab from the first control visits every shown control once, group by group (device,
    // profile, container, video, audio, the window's buttons), top to bottom and left to
    // right within each, and comes back round. Of the two output type buttons Tab stops
    // at the checked one; the arrow keys move between them.
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    const QList<int> expected = {1027, 1004, 1041, 1061,                                     // device
                                 1028, 1067, 1065, 1003, 1000,                               // profile
                                 1063, 1029,                                                 // container
                                 1030, 1033, 1026, 1024, 1023, 1012, 1019, 1018, 1025, 1015, // video
                                 1016, 1017, 1037, 1021,
                                 1036, 1031, 1022, 1020, 1039, 1062, 1038, 1035, 1040, 1060, // audio
                                 1032, 1011, 1034};
    const auto focusedId = [&dialog]() -> int {
        for (QWidget* widget = QApplication::focusWidget(); widget != nullptr; widget = widget->parentWidget()) {
            bool ok = false;
            const int id = widget->objectName().toInt(&ok);
            if (ok && dialog->GetDlgItem(id) == widget)
                return id;
        }
        return -1;
    };
    dialog->GetDlgItem(1027)->setFocus(Qt::TabFocusReason);
    QList<int> order;
    for (qsizetype i = 0; i <= expected.size(); ++i) {
        order << focusedId();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order.mid(0, expected.size()), expected);
    QCOMPARE(order.back(), expected.front());
}

void DialogTest::mnemonicsAreUniqueAndLeadToTheirControls()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));

    // No two visible captions share a letter. Only the list buttons, four "Add" and four
    // "Remove", go without one: their captions hold too few letters to tell them apart.
    QMap<QChar, QString> taken;
    const auto take = [&taken](const QString& text) {
        const QChar letter = Mnemonic(text);
        QVERIFY2(!letter.isNull(), qPrintable(text));
        QVERIFY2(!taken.contains(letter), qPrintable(text + " and " + taken.value(letter)));
        taken.insert(letter, text);
    };
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (!button->isVisible())
            continue;
        if (button->text() == QLatin1String("Add") || button->text() == QLatin1String("Remove"))
            continue;
        take(button->text());
    }
    QCOMPARE(taken.size(), 9);

    // Every label but the "x" between width and height has a letter and a buddy, and
    // Alt with the letter puts the focus on it.
    int labels = 0;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text() == QLatin1String("x"))
            continue;
        ++labels;
        take(label->text());
        QWidget* buddy = label->buddy();
        QVERIFY2(buddy != nullptr, qPrintable(label->text()));
        dialog->GetDlgItem(kIdcDeviceSelector)->setFocus();
        QTest::keyClick(dialog.get(), Mnemonic(label->text()).toLatin1(), Qt::AltModifier);
        QVERIFY2(QApplication::focusWidget() == buddy, qPrintable(label->text()));
    }
    QCOMPARE(labels, 13);

    // The output type's label focuses the checked button and presses none.
    ItemOf<QRadioButton>(*dialog, kIdcAudioOnly)->click();
    QCOMPARE(dialog->OutputType(), 2);
    dialog->GetDlgItem(kIdcDeviceSelector)->setFocus();
    QTest::keyClick(dialog.get(), Qt::Key_T, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), dialog->GetDlgItem(kIdcAudioOnly));
    QTest::qWait(300);
    QCOMPARE(dialog->OutputType(), 2);
}

void DialogTest::everyControlHasAnAccessibleNameAndRole()
{
    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);

    // Fields are named by their label, the controls without one by what stands for it
    // on the screen (their frame or their list's column).
    const QMap<int, QString> names = {
        {1027, "Device"},
        {1004, "Device name"},
        {1028, "File name"},
        {1065, "Profile name"},
        {1003, "Profile description"},
        {1000, "Profile file path"},
        {1029, "Output file format"},
        {1030, "Codec"},
        {1033, "Encoding Method"},
        {1026, "Default bitrate (kbps)"},
        {1024, "Max bitrate (kbps)"},
        {1023, "Default bitrate (kbps)"},
        {1012, "Frame Resolution"},
        {1019, "Framerate"},
        {1015, "Width"},
        {1016, "Height"},
        {1037, "Framerate"},
        {1031, "Codec"},
        {1022, "Bitrate"},
        {1020, "Samplerate"},
        {1038, "Bitrate"},
        {1040, "Samplerate"},
    };
    const auto roleOf = [](const QWidget* widget) {
        if (qobject_cast<const CSkinListCtrl*>(widget) != nullptr)
            return QAccessible::Table;
        if (qobject_cast<const QComboBox*>(widget) != nullptr)
            return QAccessible::ComboBox;
        if (qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QPlainTextEdit*>(widget) != nullptr)
            return QAccessible::EditableText;
        if (qobject_cast<const QSlider*>(widget) != nullptr)
            return QAccessible::Slider;
        if (qobject_cast<const QCheckBox*>(widget) != nullptr)
            return QAccessible::CheckBox;
        if (qobject_cast<const QRadioButton*>(widget) != nullptr)
            return QAccessible::RadioButton;
        if (const auto* button = qobject_cast<const QPushButton*>(widget))
            return button->menu() != nullptr ? QAccessible::ButtonMenu : QAccessible::Button;
        return QAccessible::NoRole;
    };
    QMap<QString, QString> buttonDescriptions;
    int checked = 0;
    for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        bool ok = false;
        const int id = widget->objectName().toInt(&ok);
        if (!ok || dialog->GetDlgItem(id) != widget || !widget->isVisible() || !(widget->focusPolicy() & Qt::TabFocus))
            continue;
        ++checked;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible != nullptr);
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!name.contains(QLatin1Char('&')), qPrintable(name));
        QCOMPARE(accessible->role(), roleOf(widget));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QCOMPARE(name, Shown(button->text()));
            // The list buttons share their captions; their description says which list.
            const QString description = accessible->text(QAccessible::Description);
            const QString key = name + QLatin1Char('/') + description;
            QVERIFY2(!buttonDescriptions.contains(key), qPrintable(key));
            buttonDescriptions.insert(key, widget->objectName());
        } else {
            QVERIFY2(names.contains(id), qPrintable(widget->objectName()));
            QCOMPARE(name, names.value(id));
        }
    }
    QCOMPARE(checked, 39);
}

void DialogTest::windowKeepsTheLayoutProportions()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("generic.Standard.xml[*] \u2014 Kestro Orrery (1.0.0.1 Beta)"));
    QCOMPARE(dialog->objectName(), QStringLiteral("102"));
    QVERIFY(!dialog->windowIcon().isNull());
    QCOMPARE(dialog->font().pointSize(), 8);

    // Base units from the dialog font: the average width of the Latin letters and the
    // line height.
    const CDialogUnits units(dialog->font());
    const QFontMetrics metrics(dialog->font());
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    QVERIFY(qAbs(units.BaseUnitX() * 52 - letters) <= 52);
    QCOMPARE(units.BaseUnitY(), metrics.height());
    QCOMPARE(dialog->size(), QSize(MulDiv(552, units.BaseUnitX(), 4), MulDiv(473, units.BaseUnitY(), 8)));

    // Neighbours stay flush: converting edges keeps a shared edge shared.
    QCOMPARE(units.ToPixels(20, 18, 120, 14).right() + 1, units.ToPixels(140, 18, 4, 14).left());
    QCOMPARE(units.ToPixels(0, 0, 4, 8), QRect(0, 0, units.BaseUnitX(), units.BaseUnitY()));

    // Value list columns: "Default" and the value, in the layout's pixels scaled to
    // this font.
    const struct {
        int id;
        const char* caption;
        int width;
    } columns[] = {{1012, "Frame Resolution", 151}, {1019, "Framerate", 110}, {1020, "Samplerate", 80},
                   {1022, "Bitrate", 85}};
    for (const auto& column : columns) {
        auto* list = ItemOf<CSkinListCtrl>(*dialog, column.id);
        QCOMPARE(list->ColumnCount(), 2);
        QCOMPARE(list->ColumnCaption(0), QStringLiteral("Default"));
        QCOMPARE(list->ColumnCaption(1), QString::fromUtf8(column.caption));
        QCOMPARE(list->ColumnWidth(0), 50 * units.BaseUnitX() / 6);
        QCOMPARE(list->ColumnWidth(1), column.width * units.BaseUnitX() / 6);
        QVERIFY(list->FullRowSelect());
        QVERIFY(list->SkinScrollBarsAttached());
    }
}

namespace {

// The controls of the window (the form the window scrolls holds them) with their
// rectangles.
std::map<QWidget*, QRect> ControlRects(const COrreryDlg& dialog)
{
    std::map<QWidget*, QRect> rects;
    QWidget* form = ItemOf<QPushButton>(dialog, 1032)->parentWidget();
    for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        rects[child] = child->geometry();
    return rects;
}

QScrollArea* ScrollerOf(const COrreryDlg& dialog)
{
    return dialog.findChild<QScrollArea*>();
}

} // namespace

void DialogTest::largerWindowGrowsTheListsAndTheDescription()
{
    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);
    const QSize layoutSize = dialog->size();
    QWidget* form = ItemOf<QPushButton>(*dialog, 1032)->parentWidget();
    QCOMPARE(form->size(), layoutSize);
    const std::map<QWidget*, QRect> before = ControlRects(*dialog);

    dialog->resize(layoutSize + QSize(240, 160));
    QTRY_COMPARE(form->size(), dialog->size());
    const std::map<QWidget*, QRect> after = ControlRects(*dialog);
    QCOMPARE(after.size(), before.size());
    QVERIFY(!ScrollerOf(*dialog)->verticalScrollBar()->isVisible());
    QVERIFY(!ScrollerOf(*dialog)->horizontalScrollBar()->isVisible());

    // The lists share the extra width and take most of the extra height; the
    // description takes the rest of it.
    int listsWider = 0;
    for (int id : {1012, 1019, 1020, 1022}) {
        QWidget* list = ItemOf<CSkinListCtrl>(*dialog, id);
        QVERIFY(after.at(list).width() > before.at(list).width());
        QCOMPARE(after.at(list).height(), before.at(list).height() + 120);
        listsWider += after.at(list).width() - before.at(list).width();
    }
    // The value column takes the width its list gained.
    auto* sizes = ItemOf<CSkinListCtrl>(*dialog, 1012);
    QCOMPARE(sizes->ColumnWidth(1), 151 * CDialogUnits(dialog->font()).BaseUnitX() / 6 + after.at(sizes).width() -
                                        before.at(sizes).width());
    QCOMPARE(listsWider, 240);
    QWidget* description = ItemOf<QPlainTextEdit>(*dialog, 1003);
    QCOMPARE(after.at(description).size(), before.at(description).size() + QSize(240, 40));
    // The window's buttons keep to its lower right corner.
    for (int id : {1032, 1011, 1034}) {
        QWidget* button = ItemOf<QPushButton>(*dialog, id);
        QCOMPARE(after.at(button).bottomRight(), before.at(button).bottomRight() + QPoint(240, 160));
        QCOMPARE(after.at(button).size(), before.at(button).size());
    }
    // Nothing leaves the window or runs into a neighbour, and every frame still holds
    // what it held.
    for (const auto& [widget, rect] : after) {
        if (widget->isHidden())
            continue;
        QVERIFY2(form->rect().contains(rect), qPrintable(widget->objectName()));
        for (const auto& [other, otherRect] : after) {
            if (other == widget || other->isHidden())
                continue;
            if (before.at(widget).contains(before.at(other)))
                QVERIFY2(rect.contains(otherRect), qPrintable(widget->objectName() + " " + other->objectName()));
            else if (!before.at(widget).intersects(before.at(other)))
                QVERIFY2(!rect.intersects(otherRect), qPrintable(widget->objectName() + " " + other->objectName()));
        }
    }

    QVERIFY(QDir().mkpath(QStringLiteral(ORRERY_TEST_OUTPUT)));
    QVERIFY(dialog->grab().save(QStringLiteral(ORRERY_TEST_OUTPUT "/window-larger.png"), "PNG"));

    // Back at its own size, every control is where the layout puts it.
    dialog->resize(layoutSize);
    QTRY_COMPARE(form->size(), layoutSize);
    QVERIFY(ControlRects(*dialog) == before);
}

void DialogTest::smallerWindowScrollsToTheFocusedControl()
{
    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);
    const QSize layoutSize = dialog->size();
    const std::map<QWidget*, QRect> before = ControlRects(*dialog);

    dialog->resize(layoutSize.width(), layoutSize.height() / 2);
    QScrollArea* scroller = ScrollerOf(*dialog);
    QTRY_VERIFY(scroller->verticalScrollBar()->isVisible());
    // The controls keep their places; the window shows a part of them.
    QVERIFY(ControlRects(*dialog) == before);
    QCOMPARE(scroller->verticalScrollBar()->value(), 0);

    // Tab to Save, at the bottom: the window scrolls to show it.
    auto* save = ItemOf<QPushButton>(*dialog, 1032);
    QWidget* previous = ItemOf<QPushButton>(*dialog, 1060);
    dialog->activateWindow();
    previous->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(previous, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(save));
    const QRect shown(save->mapTo(scroller->viewport(), QPoint(0, 0)), save->size());
    QVERIFY(scroller->viewport()->rect().contains(shown));
    QVERIFY(scroller->verticalScrollBar()->value() > 0);
}

void DialogTest::windowFitsTheScreen()
{
    // Run on a desktop screen and on a laptop's (tests/CMakeLists.txt): the window opens
    // at its own size where that fits, and within the screen's free area where not,
    // scrolling what it can't show.
    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);
    const QRect available = dialog->screen()->availableGeometry();
    const CDialogUnits units(dialog->font());
    const QSize layoutSize = units.ToPixels(552, 473);
    QScrollArea* scroller = ScrollerOf(*dialog);

    QVERIFY(available.contains(dialog->frameGeometry()));
    if (layoutSize.height() + 40 <= available.height()) {
        QCOMPARE(dialog->size(), layoutSize);
        QVERIFY(!scroller->verticalScrollBar()->isVisible());
    } else {
        QVERIFY(dialog->height() < layoutSize.height());
        // Wider by the scroll bar, so it scrolls up and down only.
        QCOMPARE(dialog->width(), layoutSize.width() + scroller->verticalScrollBar()->width());
        QVERIFY(scroller->verticalScrollBar()->isVisible());
        QVERIFY(!scroller->horizontalScrollBar()->isVisible());
    }
}

void DialogTest::installFolderFromSettingsIsTheProfilesRoot()
{
    CSandbox sandbox;
    const std::string install = sandbox.Path("converter");
    QVERIFY(sandbox.WriteFile("converter/Profiles/Movie.xml",
                              ProfileText("Movie", "psp", 0,
                                          "<file format=\"mp4\"/>\r\n<audio codec=\"aac\"/>\r\n")));
    QCOMPARE(WriteRegistryValue(kHkeyCurrentUser, "Software\\Kestro", "Path", install + "/conv.exe"), kErrorSuccess);

    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(dialog->InstallFolder(), install);
    QCOMPARE(dialog->ProfilesRoot(), install);
    // Nothing is created beside the program when the converter's folder is named.
    QVERIFY(!QDir(QString::fromStdString(sandbox.Path("program/Profiles"))).exists());

    dialog->SetSuppressChange(true);
    dialog->SelectDevice("psp", 0);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)), QStringList{"Movie.xml"});
    QCOMPARE(EditText(*dialog, kIdcProfileName), QStringLiteral("Movie"));
    QCOMPARE(EditText(*dialog, kIdcProfilePath), QString::fromStdString(install + "/Profiles/Movie.xml"));
    // Defaults of devices without profiles are named for the converter's folder.
    dialog->SelectDevice("zune", 2);
    QCOMPARE(EditText(*dialog, kIdcProfilePath), QString::fromStdString(install + "/Profiles/zune.Audio.xml"));
}

void DialogTest::configurationFileChangesTheDevices()
{
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Orrery.xml",
                              "<editor>\r\n<profile device_list=\"tv,radio\"/>\r\n</editor>\r\n"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcDeviceSelector)), (QStringList{"tv", "radio"}));
    QCOMPARE(dialog->Configuration().filePath, sandbox.Path("program/Orrery.xml"));
    // The configuration file is no template.
    QCOMPARE(ComboText(*dialog, kIdcProfileSelector), QStringLiteral("tv.Standard.xml"));
    QCOMPARE(EditText(*dialog, kIdcProfilePath), QString::fromStdString(sandbox.Path("program/Profiles/tv.Standard.xml")));
}

void DialogTest::libraryDevicesJoinTheSelectorOnce()
{
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Profiles/cam.One.xml", ProfileText("One", "camcorder", 0)));
    QVERIFY(sandbox.WriteFile("program/Profiles/cam.Two.xml", ProfileText("Two", "camcorder", 0)));
    QVERIFY(sandbox.WriteFile("program/Profiles/generic.Mine.xml",
                              ProfileText("Mine", "generic", 0, "<file format=\"avi\"/>\r\n")));
    QVERIFY(sandbox.WriteFile("program/Profiles/old.xml",
                              "<profile name=\"Old\" version=\"100\" device=\"generic\" type=\"0\">\r\n"
                              "<common/>\r\n</profile>\r\n"));
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QStringList expected = kBuiltInDevices;
    expected << "camcorder";
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcDeviceSelector)), expected);

    // generic has a profile of its own, so it gets no default of that type, and the
    // version 100 file is not offered.
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)), QStringList{"generic.Mine.xml"});
    QCOMPARE(EditText(*dialog, kIdcProfileName), QStringLiteral("Mine"));
    QCOMPARE(ComboText(*dialog, kIdcFormat), QStringLiteral("avi"));
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcVideoCodec)), (QStringList{"h264", "mpeg4", "xvid"}));
    QCOMPARE(ComboText(*dialog, kIdcVideoCodec), QStringLiteral("xvid"));
    QCOMPARE(ComboText(*dialog, kIdcAudioCodec), QStringLiteral("mp3"));
    QVERIFY(!dialog->IsChanged());

    dialog->SetSuppressChange(true);
    dialog->SelectDevice("camcorder", 0);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)), (QStringList{"cam.One.xml", "cam.Two.xml"}));
    dialog->SetSuppressChange(true);
    dialog->SelectDevice("camcorder", 2);
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)), QStringList{"camcorder.Audio.xml"});
}

void DialogTest::pendingDeletionsAreCarriedOutBeforeTheScan()
{
    CSandbox sandbox;
    const std::string doomed = sandbox.Path("program/Profiles/generic.Gone.xml");
    QVERIFY(sandbox.WriteFile("program/Profiles/generic.Gone.xml", ProfileText("Gone", "generic", 0)));
    QVERIFY(ScheduleDeleteInWininit(doomed));
    QCOMPARE(PendingDeletions().size(), std::size_t(1));

    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();
    QVERIFY(!QFile::exists(QString::fromStdString(doomed)));
    QVERIFY(PendingDeletions().empty());
    QCOMPARE(ComboTexts(dialog->GetDlgItem(kIdcProfileSelector)), QStringList{"generic.Standard.xml"});
}

void DialogTest::aboutEntryOpensTheAboutBox()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    dialog->OnInitDialog();

    QAction* about = nullptr;
    for (QAction* action : dialog->SystemMenu()->actions()) {
        if (!action->isSeparator())
            about = action;
    }
    QVERIFY(about != nullptr);
    QCOMPARE(about->text(), QStringLiteral("&About Kestro Orrery..."));
    QCOMPARE(about->data().toInt(), COrreryDlg::kAboutCommand);
    QCOMPARE(about->shortcut(), QKeySequence(Qt::Key_F1));

    ModalCatcher catcher;
    catcher.Arm();
    about->trigger();
    QCOMPARE(catcher.className, QStringLiteral("CAboutDlg"));
    QCOMPARE(catcher.title, QStringLiteral("About Kestro Orrery"));
    QVERIFY(catcher.labels.contains(QStringLiteral("Kestro Orrery, Version 1.0.0.1 Beta")));
    QVERIFY(QDir().mkpath(QStringLiteral(ORRERY_TEST_OUTPUT)));
    QVERIFY(catcher.picture.save(QStringLiteral(ORRERY_TEST_OUTPUT "/about.png"), "PNG"));

    // F1 on the window.
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    ModalCatcher f1;
    f1.Arm();
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    QCOMPARE(f1.className, QStringLiteral("CAboutDlg"));

    // Commands 16 to 31 are the About entry's; others open nothing.
    ModalCatcher range;
    range.Arm();
    dialog->OnSysCommand(31);
    QCOMPARE(range.className, QStringLiteral("CAboutDlg"));
    for (int other : {15, 32, 0xF060}) {
        ModalCatcher none;
        none.Arm(50);
        dialog->OnSysCommand(other);
        QTest::qWait(100);
        QVERIFY2(none.className.isEmpty(), qPrintable(QString::number(other)));
    }
    // Nothing in the program changed.
    QVERIFY(!dialog->IsChanged());
    QVERIFY(sandbox.Log()->messages.empty());
}

void DialogTest::messagesCarryCaptionTextAndPath()
{
    CSandbox sandbox;
    auto dialog = sandbox.MakeDialog();
    sandbox.Log()->answers = {kIdNo};
    QCOMPARE(dialog->MessageWithPath(kIdsSaveChanged, "/p/Profiles/a.xml", PromptButtons::YesNo, PromptIcon::Question),
             kIdNo);
    QCOMPARE(dialog->MessageWithPath(kIdsProfileSaved, "/p/x.xml", PromptButtons::Ok, PromptIcon::Information), kIdOk);
    const auto& messages = sandbox.Log()->messages;
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(messages[0].text, std::string("Do you want to save the changed profile?\n\n/p/Profiles/a.xml"));
    QCOMPARE(messages[0].caption, std::string("Kestro Orrery"));
    QVERIFY(messages[0].buttons == PromptButtons::YesNo);
    QCOMPARE(messages[1].text, std::string("Profile saved successfully!\n\n/p/x.xml"));
    QVERIFY(messages[1].buttons == PromptButtons::Ok);
}

void DialogTest::realMessageBoxAnswersWithTheButtonPressed()
{
    const struct {
        PromptButtons buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton pressed;
        int answer;
    } cases[] = {
        {PromptButtons::Ok, QMessageBox::Ok, QMessageBox::Ok, kIdOk},
        {PromptButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, kIdOk},
        {PromptButtons::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, kIdCancel},
        {PromptButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, kIdYes},
        {PromptButtons::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, kIdNo},
        {PromptButtons::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel,
         kIdCancel},
        {PromptButtons::SaveDiscardCancel, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
         QMessageBox::Save, kIdSave},
        {PromptButtons::OkDiscard, QMessageBox::Ok | QMessageBox::Discard, QMessageBox::Discard, kIdDiscard},
    };
    QWidget owner;
    CQtPrompt prompt(&owner);
    for (const auto& entry : cases) {
        QString text;
        QString title;
        QMessageBox::StandardButtons shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            text = box->text();
            title = box->windowTitle();
            shown = box->standardButtons();
            box->button(entry.pressed)->click();
        });
        const int answer = prompt.MessageBox("Line\n\n/p/a.xml", "Kestro Orrery", entry.buttons, PromptIcon::Question);
        QCOMPARE(answer, entry.answer);
        QCOMPARE(text, QStringLiteral("Line\n\n/p/a.xml"));
        QCOMPARE(title, QStringLiteral("Kestro Orrery"));
        QCOMPARE(shown, entry.shown);
    }

    // Escape and the close box give the answer that changes nothing: No where there is
    // no Cancel, OK beside "Discard changes"; Save is the default button.
    const struct {
        PromptButtons buttons;
        bool closeBox;
        int answer;
    } escapes[] = {
        {PromptButtons::YesNo, false, kIdNo},
        {PromptButtons::YesNoCancel, false, kIdCancel},
        {PromptButtons::SaveDiscardCancel, true, kIdCancel},
        {PromptButtons::OkDiscard, false, kIdOk},
        {PromptButtons::OkDiscard, true, kIdOk},
    };
    for (const auto& entry : escapes) {
        QString discardText;
        QString defaultText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            if (QAbstractButton* discard = box->button(QMessageBox::Discard))
                discardText = discard->text();
            defaultText = box->defaultButton()->text();
            if (entry.closeBox)
                box->close();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(prompt.MessageBox("Save?", "Kestro Orrery", entry.buttons, PromptIcon::Question), entry.answer);
        if (entry.buttons == PromptButtons::OkDiscard)
            QCOMPARE(discardText, QStringLiteral("Discard changes"));
        if (entry.buttons == PromptButtons::SaveDiscardCancel)
            QCOMPARE(defaultText, QStringLiteral("Save"));
    }
}

void DialogTest::realSaveDialogStartsWhereAsked()
{
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Profiles/psp.Movie.xml", "<profile/>"));
    const QString folder = QString::fromStdString(sandbox.Path("program/Profiles"));
    SaveFileRequest request;
    request.initialFolder = folder.toStdString();
    request.initialFileName = "psp.Movie.xml";
    request.defaultExtension = "xml";
    request.filter = "Kestro Profiles file(*.xml)";
    QWidget owner;
    CQtPrompt prompt(&owner);

    QString startFolder;
    QStringList filters;
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        startFolder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        proposed = dialog->findChild<QLineEdit*>()->text();
        dialog->selectFile(QStringLiteral("psp.Copy"));
        static_cast<QDialog*>(dialog)->accept();
    });
    SaveFileAnswer answer;
    QVERIFY(prompt.SaveFile(request, answer));
    QCOMPARE(startFolder, folder);
    QCOMPARE(filters, QStringList{"Kestro Profiles file(*.xml)"});
    QCOMPARE(proposed, QStringLiteral("psp.Movie.xml"));
    // A name typed without extension gets ".xml".
    QCOMPARE(answer.path, sandbox.Path("program/Profiles/psp.Copy.xml"));
    QCOMPARE(answer.fileName, std::string("psp.Copy.xml"));

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    SaveFileAnswer cancelled;
    QVERIFY(!prompt.SaveFile(request, cancelled));
    QVERIFY(cancelled.path.empty());

    // Typing the name of an existing profile without its extension still asks before
    // replacing it: No goes back to the file dialog, Yes takes the file. (Whether the
    // dialog or the prompt asks depends on the dialog's own completion.)
    int round = 0;
    QStringList questions;
    QStringList typedAgain;
    QTimer driver;
    connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box->property("answered").toBool())
                return;
            box->setProperty("answered", true);
            questions << box->text();
            const auto button = ++round == 1 ? QMessageBox::No : QMessageBox::Yes;
            QTimer::singleShot(0, box, [box, button] { box->button(button)->click(); });
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (dialog->property("round").isValid() && dialog->property("round").toInt() == round)
                return;
            dialog->setProperty("round", round);
            if (round > 0)
                typedAgain << dialog->findChild<QLineEdit*>()->text();
            QTimer::singleShot(0, dialog, [dialog] {
                dialog->selectFile(QStringLiteral("psp.Movie"));
                static_cast<QDialog*>(dialog)->accept();
            });
        }
    });
    driver.start(10);
    SaveFileAnswer replaced;
    QVERIFY(prompt.SaveFile(request, replaced));
    driver.stop();
    QCOMPARE(questions.size(), 2);
    QVERIFY2(questions[0].contains(QStringLiteral("psp.Movie.xml already exists")), qPrintable(questions[0]));
    QCOMPARE(typedAgain.size(), 1);
    QVERIFY(typedAgain[0].startsWith(QStringLiteral("psp.Movie")));
    QCOMPARE(replaced.path, sandbox.Path("program/Profiles/psp.Movie.xml"));
}

void DialogTest::deviceWithoutProfilesShowsNothing()
{
    // A configured device whose name cannot become a file name gets no default
    // profiles; the window starts on it with nothing to show and nothing changed.
    CSandbox sandbox;
    QVERIFY(sandbox.WriteFile("program/Orrery.xml",
                              "<editor>\r\n<profile device_list=\"bad/name,tv\"/>\r\n</editor>\r\n"));
    auto dialog = sandbox.MakeDialog();
    QVERIFY(dialog->OnInitDialog());
    QCOMPARE(ComboText(*dialog, kIdcDeviceSelector), QStringLiteral("bad/name"));
    QCOMPARE(ItemOf<QComboBox>(*dialog, kIdcProfileSelector)->count(), 0);
    QVERIFY(!dialog->TypeFile().HasCurrentProfile());
    QCOMPARE(EditText(*dialog, kIdcProfileName), QString());
    QCOMPARE(EditText(*dialog, kIdcProfilePath), QString());
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, kIdcFrameSizes)->RowCount(), 0);
    QVERIFY(!dialog->IsChanged());
    QVERIFY(!dialog->IsChangeSuppressed());
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kProfileControls, false), QList<int>{});
    QVERIFY(dialog->GetDlgItem(kIdcRemoveDevice)->isEnabled());

    // The next device shows its profile as usual.
    dialog->SetSuppressChange(true);
    dialog->SelectDevice("tv", 0);
    QCOMPARE(EditText(*dialog, kIdcProfileName), QStringLiteral("default"));
    QCOMPARE(ItemOf<CSkinListCtrl>(*dialog, kIdcFrameSizes)->RowCount(), 4);
    QCOMPARE(EnabledOtherThan(*dialog, COrreryDlg::kProfileControls, true), QList<int>{});
}

void DialogTest::stringTable()
{
    const struct {
        int id;
        const char* text;
    } strings[] = {
        {101, "&About Kestro Orrery..."},
        {102, "Kestro Orrery"},
        {103, "Do you want to save the changed profile?"},
        {104, "All the profiles which belong to device (%s) will be deleted. Are you sure to do it?"},
        {105, "Profile saved successfully!"},
        {106, "The profile can't be saved since it belongs to Kestro. Do you want to save it as another file?"},
        {108, "The profile name can't be empty!"},
        {109, "The profile could not be saved."},
        {110, "The device name can't be used as a file name."},
        {111, "The Profiles folder could not be created:"},
        {112, "The Profiles folder could not be read:"},
    };
    for (const auto& entry : strings)
        QCOMPARE(LoadString(entry.id), std::string(entry.text));
    QCOMPARE(FormatString(113, "/home/me/.config/Kestro.conf").find("\"Path\" value in the settings file "
                                                                   "/home/me/.config/Kestro.conf names"),
             std::size_t(4));
    QCOMPARE(LoadString(107), std::string());
    QCOMPARE(LoadString(100), std::string());

    // A device name is inserted as it stands, never read as a format.
    QCOMPARE(FormatString(104, "tv %s %d"),
             std::string("All the profiles which belong to device (tv %s %d) will be deleted. Are you sure to do it?"));
    // Fixed-size loads cut the text, never inside a character.
    QCOMPARE(LoadString(102, 6), std::string("Kestro"));
    QCOMPARE(LoadString(104, 100).size(), std::size_t(84));
    QCOMPARE(LoadString(104, 10), std::string("All the pr"));
}

void DialogTest::screenshotOfTheStartedWindow()
{
    CSandbox sandbox;
    const auto dialog = sandbox.ShowDialog();
    QVERIFY(dialog);
    const QPixmap shot = dialog->grab();
    QCOMPARE(shot.size(), dialog->size() * shot.devicePixelRatio());

    const QString folder = QStringLiteral(ORRERY_TEST_OUTPUT);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/window.png");
    QFile::remove(path);
    QVERIFY(shot.save(path, "PNG"));
    QImage written(path);
    QCOMPARE(written.size(), shot.size());

    // The picture holds a drawn window, not a blank.
    std::set<QRgb> colours;
    const QImage image = shot.toImage();
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY(colours.size() > 8);
}


void DialogTest::screenshotInADarkPalette()
{
    // A dark desktop theme: light text on dark fields, lists and frames.
    const QPalette light = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(55, 55, 60));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(38, 79, 120));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    QApplication::setPalette(dark);
    QPixmap shot;
    QRect field;
    {
        CSandbox sandbox;
        const auto dialog = sandbox.ShowDialog();
        QVERIFY(dialog);
        shot = dialog->grab();
        QWidget* bitrate = ItemOf<CFieldNumericEdit>(*dialog, 1026);
        field = QRect(bitrate->mapTo(dialog.get(), QPoint(0, 0)), bitrate->size());
    }
    QApplication::setPalette(light);
    QVERIFY(QDir().mkpath(QStringLiteral(ORRERY_TEST_OUTPUT)));
    QVERIFY(shot.save(QStringLiteral(ORRERY_TEST_OUTPUT "/window-dark.png"), "PNG"));

    // Most of the window is dark, and the default bitrate shows light digits on its
    // dark field.
    const QImage image = shot.toImage();
    int darkPixels = 0;
    int all = 0;
    for (int y = 0; y < image.height(); y += 5) {
        for (int x = 0; x < image.width(); x += 5, ++all)
            darkPixels += QColor(image.pixel(x, y)).lightness() < 100 ? 1 : 0;
    }
    QVERIFY2(darkPixels * 10 > all * 8, qPrintable(QString::number(darkPixels) + "/" + QString::number(all)));
    int lightest = 0;
    int darkest = 255;
    for (int y = field.top() + 2; y < field.bottom() - 1; ++y) {
        for (int x = field.left() + 2; x < field.right() - 1; ++x) {
            const int lightness = QColor(image.pixel(x, y)).lightness();
            lightest = std::max(lightest, lightness);
            darkest = std::min(darkest, lightness);
        }
    }
    QVERIFY2(darkest < 60 && lightest > 180, qPrintable(QString("%1..%2").arg(darkest).arg(lightest)));
}

QTEST_MAIN(DialogTest)
#include "test_dialog.moc"
