// The real editor window on a program folder that holds what an installation holds:
// the templates and the sample profiles. Every device opens on its samples, and the
// window shows each sample exactly as it is stored.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "controls/FieldEdit.h"
#include "controls/SkinListCtrl.h"
#include "editor/ChoiceLists.h"
#include "editor/ProfileLibrary.h"
#include "packaging/SampleProfiles.h"
#include "ui/OrreryDlg.h"
#include "ui/Prompt.h"
#include "ui/Resource.h"
#include "../ui/UiTestSupport.h"

namespace {

QString Text(const char* text)
{
    return QString::fromUtf8(text);
}

// Rates as the window shows them: 44100 Hz is "44.1 kHz", 128000 bit/s "128 kbps".
QString RateText(const char* stored, const char* unit)
{
    QString number = QString::number(std::stod(stored) / 1000.0, 'f', 3);
    while (number.endsWith(QLatin1Char('0')))
        number.chop(1);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    return number + QLatin1Char(' ') + QLatin1String(unit);
}

QStringList Split(const char* list)
{
    return Text(list).split(QLatin1Char(','));
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool StartsWith(const std::string& text, const char* start)
{
    return text.rfind(start, 0) == 0;
}

constexpr const char* kBuiltInQuestion =
    "The profile can't be saved since it belongs to Kestro. Do you want to save it as another file?";
constexpr const char* kSaveQuestion = "Do you want to save the changed profile?";
constexpr const char* kSavedMessage = "Profile saved successfully!";

} // namespace

class SampleEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyDeviceOpensOnItsSamplesShownAsStored();
    void screenshotOfTheWindowOnTheSamples();
    void savingAChangedSampleOffersSaveAsAndNeverTouchesIt_data();
    void savingAChangedSampleOffersSaveAsAndNeverTouchesIt();
    void leavingAChangedSampleOffersSaveAsAndNeverTouchesIt();

private:
    std::unique_ptr<COrreryDlg> StartDialog();
    void CheckShownSample(COrreryDlg& dialog, const samples::SampleProfile& sample);

    std::unique_ptr<QTemporaryDir> root;
    std::shared_ptr<PromptLog> log;
    QString programFolder;
};

void SampleEditorTest::init()
{
    root = std::make_unique<QTemporaryDir>();
    QVERIFY(root->isValid());
    log = std::make_shared<PromptLog>();
    programFolder = root->filePath(QStringLiteral("program"));
    QVERIFY(QDir().mkpath(programFolder + QStringLiteral("/Profiles")));
    QVERIFY(QDir().mkpath(root->filePath(QStringLiteral("config"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root->filePath(QStringLiteral("config"))));
    const QDir data(QStringLiteral(ORRERY_SOURCE_DIR "/data"));
    for (const QString& name : data.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QVERIFY(QFile::copy(data.filePath(name), programFolder + QLatin1Char('/') + name));
    const QDir shipped(data.filePath(QStringLiteral("Profiles")));
    for (const QString& name : shipped.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QVERIFY(QFile::copy(shipped.filePath(name), programFolder + QStringLiteral("/Profiles/") + name));
}

void SampleEditorTest::cleanup()
{
    root.reset();
}

std::unique_ptr<COrreryDlg> SampleEditorTest::StartDialog()
{
    auto dialog = std::make_unique<COrreryDlg>(QFile::encodeName(programFolder).toStdString(),
                                               std::make_unique<CPromptDouble>(log));
    dialog->OnInitDialog();
    return dialog;
}

void SampleEditorTest::CheckShownSample(COrreryDlg& dialog, const samples::SampleProfile& sample)
{
    const std::string fileName = samples::SampleFileName(sample);
    const QString context = QString::fromStdString(fileName);
    auto* profiles = qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcProfileSelector));
    QVERIFY2(profiles != nullptr, "profile selector");
    QCOMPARE(profiles->count(), 1);
    QCOMPARE(profiles->currentText(), context + QStringLiteral(" (built-in)"));
    QCOMPARE(Text(dialog, kIdcProfileName), QString::fromStdString(samples::SampleTitle(sample)));
    QCOMPARE(Text(dialog, kIdcDescription), Text(sample.description));
    QCOMPARE(Text(dialog, kIdcProfilePath), programFolder + QStringLiteral("/Profiles/") + context);
    QVERIFY2(editor::IsBuiltInProfile(*dialog.TypeFile().GetCurrentProfile()), qPrintable(context));

    QCOMPARE(qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcFormat))->currentText(), Text(sample.format));
    QCOMPARE(qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcAudioCodec))->currentText(), Text(sample.audioCodec));
    QVERIFY(!qobject_cast<QCheckBox*>(dialog.GetDlgItem(kIdcCopySource))->isChecked());

    const auto* sampleRates = qobject_cast<CSkinListCtrl*>(dialog.GetDlgItem(kIdcSampleRates));
    QStringList rates;
    for (const QString& rate : Split(sample.sampleRates))
        rates << RateText(rate.toUtf8().constData(), "kHz");
    QCOMPARE(ListTexts(sampleRates), rates);
    QCOMPARE(CheckedRows(sampleRates), QList<int>{static_cast<int>(Split(sample.sampleRates).indexOf(Text(sample.sampleRate)))});

    const auto* audioBitrates = qobject_cast<CSkinListCtrl*>(dialog.GetDlgItem(kIdcAudioBitrates));
    QStringList bitrates;
    for (const QString& bitrate : Split(sample.audioBitrates))
        bitrates << RateText(bitrate.toUtf8().constData(), "kbps");
    QCOMPARE(ListTexts(audioBitrates), bitrates);
    QCOMPARE(CheckedRows(audioBitrates),
             QList<int>{static_cast<int>(Split(sample.audioBitrates).indexOf(Text(sample.audioBitrate)))});

    if (sample.type == editor::kAudioOnly)
        return;

    QCOMPARE(qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcVideoCodec))->currentText(), Text(sample.videoCodec));
    QCOMPARE(qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcEncodingMode))->currentIndex(),
             QString::fromUtf8(sample.encodingMode) == QStringLiteral("real_time") ? 0 : 1);
    for (int id : {kIdcDefaultBitrate, kIdcMaxBitrate}) {
        const auto* edit = qobject_cast<CFieldEdit*>(dialog.GetDlgItem(id));
        QVERIFY(edit != nullptr);
        QVERIFY2(edit->FillColor() != QColor(255, 0, 0), "a bitrate shown as out of range");
    }
    QCOMPARE(Text(dialog, kIdcDefaultBitrate), Text(sample.defaultKbps));
    QCOMPARE(Text(dialog, kIdcMaxBitrate), Text(sample.maxKbps));

    const auto* sizes = qobject_cast<CSkinListCtrl*>(dialog.GetDlgItem(kIdcFrameSizes));
    QCOMPARE(ListTexts(sizes), Split(sample.frameSizes));
    QCOMPARE(CheckedRows(sizes), QList<int>{static_cast<int>(Split(sample.frameSizes).indexOf(Text(sample.frameSize)))});

    const auto* frameRates = qobject_cast<CSkinListCtrl*>(dialog.GetDlgItem(kIdcFrameRates));
    QStringList shownRates;
    for (const QString& rate : Split(sample.frameRates))
        shownRates << (rate == QStringLiteral("0") ? QStringLiteral("Same as source") : rate + QStringLiteral(" fps"));
    QCOMPARE(ListTexts(frameRates), shownRates);
    QCOMPARE(CheckedRows(frameRates),
             QList<int>{static_cast<int>(Split(sample.frameRates).indexOf(Text(sample.frameRate)))});
}

void SampleEditorTest::everyDeviceOpensOnItsSamplesShownAsStored()
{
    auto dialog = StartDialog();
    QVERIFY(log->messages.empty());
    auto* devices = qobject_cast<QComboBox*>(dialog->GetDlgItem(kIdcDeviceSelector));
    QVERIFY(devices != nullptr);
    QCOMPARE(devices->count(), 14);
    QCOMPARE(dialog->Library().Size(), std::size_t(28));

    // Start-up shows the first device's video sample.
    QCOMPARE(devices->currentText(), QStringLiteral("generic"));
    CheckShownSample(*dialog, samples::SampleProfiles().front());
    if (QTest::currentTestFailed())
        return;

    auto* videoAndAudio = qobject_cast<QRadioButton*>(dialog->GetDlgItem(kIdcVideoAndAudio));
    auto* audioOnly = qobject_cast<QRadioButton*>(dialog->GetDlgItem(kIdcAudioOnly));
    for (const samples::SampleProfile& sample : samples::SampleProfiles()) {
        const bool audio = sample.type == editor::kAudioOnly;
        videoAndAudio->setChecked(!audio);
        audioOnly->setChecked(audio);
        devices->setCurrentText(QString::fromUtf8(sample.device));
        dialog->SelectDevice(sample.device, sample.type);
        CheckShownSample(*dialog, sample);
        if (QTest::currentTestFailed()) {
            qWarning("while showing %s", samples::SampleFileName(sample).c_str());
            return;
        }
        QVERIFY2(!dialog->IsChanged(), "showing a sample marked it changed");
    }
    QVERIFY(log->messages.empty());
}

void SampleEditorTest::screenshotOfTheWindowOnTheSamples()
{
    auto dialog = StartDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QPixmap shot = dialog->grab();
    const QString folder = QStringLiteral(ORRERY_TEST_OUTPUT);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/window-samples.png");
    QFile::remove(path);
    QVERIFY(shot.save(path, "PNG"));
    QCOMPARE(QImage(path).size(), shot.size());
}

void SampleEditorTest::savingAChangedSampleOffersSaveAsAndNeverTouchesIt_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("audioOnly");
    QTest::newRow("video + audio") << QStringLiteral("psp") << false;
    QTest::newRow("audio only") << QStringLiteral("ps3") << true;
}

// Save on a changed sample asks 106 first. No leads to the ordinary question, whose No
// writes nothing; Yes opens the save-file dialog in the Profiles folder and writes the
// edits into a new file of the user's, which is no longer read-only.
void SampleEditorTest::savingAChangedSampleOffersSaveAsAndNeverTouchesIt()
{
    QFETCH(QString, device);
    QFETCH(bool, audioOnly);
    auto dialog = StartDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

    auto* devices = qobject_cast<QComboBox*>(dialog->GetDlgItem(kIdcDeviceSelector));
    devices->setCurrentText(device);
    dialog->OnDeviceChanged();
    if (audioOnly)
        QTest::mouseClick(dialog->GetDlgItem(kIdcAudioOnly), Qt::LeftButton);
    QCOMPARE(dialog->OutputType(), audioOnly ? editor::kAudioOnly : editor::kVideoAndAudio);
    const QString sampleName = device + (audioOnly ? QStringLiteral(".Kestro.Audio.xml") : QStringLiteral(".Kestro.Video.xml"));
    const QString samplePath = programFolder + QStringLiteral("/Profiles/") + sampleName;
    QCOMPARE(Text(*dialog, kIdcProfilePath), samplePath);
    const QByteArray original = FileBytes(samplePath);
    QVERIFY(log->messages.empty());

    // Save without a change does nothing at all.
    QTest::mouseClick(dialog->GetDlgItem(kIdcSave), Qt::LeftButton);
    QVERIFY(log->messages.empty());

    auto* description = qobject_cast<QPlainTextEdit*>(dialog->GetDlgItem(kIdcDescription));
    QVERIFY(description != nullptr);
    description->setPlainText(QStringLiteral("My own settings"));
    QVERIFY(dialog->IsChanged());

    log->answers = {kIdNo, kIdNo};
    QTest::mouseClick(dialog->GetDlgItem(kIdcSave), Qt::LeftButton);
    QCOMPARE(log->messages.size(), std::size_t(2));
    QVERIFY2(StartsWith(log->messages[0].text, kBuiltInQuestion), log->messages[0].text.c_str());
    QVERIFY(log->messages[0].text.find(samplePath.toStdString()) != std::string::npos);
    QVERIFY2(StartsWith(log->messages[1].text, kSaveQuestion), log->messages[1].text.c_str());
    QVERIFY(log->saveRequests.empty());
    QCOMPARE(FileBytes(samplePath), original);
    QVERIFY(dialog->IsChanged());

    log->messages.clear();
    const QString minePath = programFolder + QStringLiteral("/Profiles/mine.xml");
    log->answers = {kIdYes};
    log->saveAnswers = {SaveFileAnswer{QFile::encodeName(minePath).toStdString(), "mine.xml"}};
    QTest::mouseClick(dialog->GetDlgItem(kIdcSave), Qt::LeftButton);
    QCOMPARE(log->saveRequests.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(log->saveRequests[0].initialFolder), programFolder + QStringLiteral("/Profiles"));
    QVERIFY(!log->messages.empty());
    QVERIFY2(StartsWith(log->messages[0].text, kBuiltInQuestion), log->messages[0].text.c_str());
    QVERIFY2(StartsWith(log->messages.back().text, kSavedMessage), log->messages.back().text.c_str());
    QCOMPARE(FileBytes(samplePath), original);

    profile::CProfileFile mine;
    mine.CreateDefault();
    QVERIFY(mine.Load(QFile::encodeName(minePath).toStdString()));
    QVERIFY(!editor::IsBuiltInProfile(mine));
    QVERIFY(mine.IsVersion200());
    QCOMPARE(QString::fromStdString(mine.device), device);
    QCOMPARE(mine.type, audioOnly ? editor::kAudioOnly : editor::kVideoAndAudio);
    QCOMPARE(QString::fromStdString(mine.description), QStringLiteral("My own settings"));
    QCOMPARE(Text(*dialog, kIdcProfilePath), minePath);
    QVERIFY(!dialog->IsChanged());
    auto* profiles = qobject_cast<QComboBox*>(dialog->GetDlgItem(kIdcProfileSelector));
    QCOMPARE(profiles->currentText(), QStringLiteral("mine.xml"));
    QVERIFY(profiles->findText(sampleName + QStringLiteral(" (built-in)")) >= 0);
}

// Going to another device with a changed sample asks 106 as well; No lets the change
// go, and the sample stays as shipped.
void SampleEditorTest::leavingAChangedSampleOffersSaveAsAndNeverTouchesIt()
{
    auto dialog = StartDialog();
    const QString samplePath = programFolder + QStringLiteral("/Profiles/generic.Kestro.Video.xml");
    const QByteArray original = FileBytes(samplePath);
    QCOMPARE(Text(*dialog, kIdcProfilePath), samplePath);
    qobject_cast<QPlainTextEdit*>(dialog->GetDlgItem(kIdcDescription))->setPlainText(QStringLiteral("changed"));
    QVERIFY(dialog->IsChanged());

    log->answers = {kIdNo};
    auto* devices = qobject_cast<QComboBox*>(dialog->GetDlgItem(kIdcDeviceSelector));
    devices->setCurrentText(QStringLiteral("zune"));
    dialog->OnDeviceChanged();
    QCOMPARE(log->messages.size(), std::size_t(1));
    QVERIFY2(StartsWith(log->messages[0].text, kBuiltInQuestion), log->messages[0].text.c_str());
    QVERIFY(log->saveRequests.empty());
    QCOMPARE(FileBytes(samplePath), original);
    QCOMPARE(Text(*dialog, kIdcProfilePath), programFolder + QStringLiteral("/Profiles/zune.Kestro.Video.xml"));
    QVERIFY(!dialog->IsChanged());
}

QTEST_MAIN(SampleEditorTest)
#include "test_sample_editor.moc"
