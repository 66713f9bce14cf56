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
#include <QTextEdit>
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

namespace {

// Message boxes and the save-file dialog answered without a window; every question is
// recorded.
struct PromptLog {
    std::vector<std::string> messages;
    std::vector<SaveFileRequest> saveRequests;
    std::vector<int> answers;   // next answers, in order; Yes or OK when none is left
};

class CRecordingPrompt : public CPrompt {
public:
    explicit CRecordingPrompt(std::shared_ptr<PromptLog> log) : log(std::move(log)) {}

    int MessageBox(const std::string& text, const std::string&, PromptButtons buttons, PromptIcon) override
    {
        log->messages.push_back(text);
        if (!log->answers.empty()) {
            const int answer = log->answers.front();
            log->answers.erase(log->answers.begin());
            return answer;
        }
        return buttons == PromptButtons::YesNo ? kIdYes : kIdOk;
    }

    bool SaveFile(const SaveFileRequest& request, SaveFileAnswer&) override
    {
        log->saveRequests.push_back(request);
        return false;
    }

private:
    std::shared_ptr<PromptLog> log;
};

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

QStringList ListTexts(const CSkinListCtrl* list)
{
    QStringList texts;
    for (int row = 0; row < list->RowCount(); ++row)
        texts << list->GetCellText(row, 1);
    return texts;
}

QList<int> CheckedRows(const CSkinListCtrl* list)
{
    QList<int> rows;
    for (int row = 0; row < list->RowCount(); ++row) {
        if (list->GetToggle(row, 0) == 1)
            rows << row;
    }
    return rows;
}

QString EditText(QWidget* widget)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(widget))
        return rich->toPlainText();
    return QStringLiteral("<not an edit>");
}

} // namespace

class SampleEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyDeviceOpensOnItsSamplesShownAsStored();
    void screenshotOfTheWindowOnTheSamples();

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
                                               std::make_unique<CRecordingPrompt>(log));
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
    QCOMPARE(profiles->currentText(), context);
    QCOMPARE(EditText(dialog.GetDlgItem(kIdcProfileName)), QString::fromStdString(samples::SampleTitle(sample)));
    QCOMPARE(EditText(dialog.GetDlgItem(kIdcDescription)), Text(sample.description));
    QCOMPARE(EditText(dialog.GetDlgItem(kIdcProfilePath)), programFolder + QStringLiteral("/Profiles/") + context);
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
    QCOMPARE(EditText(dialog.GetDlgItem(kIdcDefaultBitrate)), Text(sample.defaultKbps));
    QCOMPARE(EditText(dialog.GetDlgItem(kIdcMaxBitrate)), Text(sample.maxKbps));

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

QTEST_MAIN(SampleEditorTest)
#include "test_sample_editor.moc"
