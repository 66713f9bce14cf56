// The window's start-up, run by the benchmark harness as a fresh process: the
// application and list skin as the program sets them up, then the real dialog on the
// program folder given, shown offscreen. It prints CLOCK_MONOTONIC times (ns) at its
// milestones so the harness can measure from the moment it started the process, and
// then the time (ns) of each user action up to the end of the paint it sets off:
// select a device, select a profile, switch the output type, and Save after an edit.
//
//   orrery_bench_window <program folder>

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

#include "controls/SkinListCtrl.h"
#include "ui/OrreryApp.h"
#include "ui/OrreryDlg.h"

namespace {

long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Nothing may wait for a person: every question is answered at once, No to a yes/no
// question unless `yes` asks for Yes.
class CAnsweringPrompt : public CPrompt {
public:
    bool* yes = nullptr;

    int MessageBox(const std::string& text, const std::string&, PromptButtons buttons, PromptIcon) override
    {
        if (yes && *yes && buttons == PromptButtons::YesNo)
            return kIdYes;
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return buttons == PromptButtons::YesNo ? kIdNo : kIdOk;
    }
    bool SaveFile(const SaveFileRequest&, SaveFileAnswer&) override { return false; }
};

// Notes the window's first paint.
class CPaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Runs one action as a person's click or choice would start it and the event processing
// it sets off, up to the end of the first paint after it (or 5 s without one); the time
// in ns, and whether a paint came.
long long Act(CPaintWatch& watch, const std::function<void()>& action, bool& painted)
{
    watch.painted = false;
    const long long start = Now();
    action();
    QElapsedTimer deadline;
    deadline.start();
    while (!watch.painted && deadline.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    painted = watch.painted;
    return Now() - start;
}

void Choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QString TextOf(QWidget* widget)
{
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        return plain->toPlainText();
    if (auto* rich = qobject_cast<QTextEdit*>(widget))
        return rich->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    const long long started = Now();
    if (argc != 2) {
        std::fprintf(stderr, "usage: orrery_bench_window <program folder>\n");
        return 2;
    }
    const std::string programFolder = argv[1];
    COrreryApp app(argc, argv);
    CSkinListCtrl::SetSkinColours(SkinListColours{});
    const long long appReady = Now();

    bool answerYes = false;
    auto prompt = std::make_unique<CAnsweringPrompt>();
    prompt->yes = &answerYes;
    COrreryDlg dialog(programFolder, std::move(prompt));
    dialog.OnInitDialog();
    const long long initialised = Now();

    CPaintWatch watch;
    dialog.installEventFilter(&watch);
    dialog.show();
    QElapsedTimer deadline;
    deadline.start();
    while (!watch.painted && deadline.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const long long shown = Now();

    const QString profileName = TextOf(dialog.GetDlgItem(kIdcProfileName));
    const QString profileFile = TextOf(dialog.GetDlgItem(kIdcProfileSelector));
    std::printf("main %lld\napp %lld\ninit %lld\nshown %lld\npainted %d\nprofiles %zu\nprofile %s\nfile %s\n",
                started, appReady, initialised, shown, watch.painted ? 1 : 0, dialog.Library().Size(),
                profileName.toUtf8().constData(), profileFile.toUtf8().constData());
    if (!watch.painted)
        return 1;

    // The actions, each on what the one before it showed. Any widget's paint counts.
    CPaintWatch anyPaint;
    QCoreApplication::instance()->installEventFilter(&anyPaint);
    auto* devices = qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcDeviceSelector));
    auto* profiles = qobject_cast<QComboBox*>(dialog.GetDlgItem(kIdcProfileSelector));
    auto* audioOnly = qobject_cast<QAbstractButton*>(dialog.GetDlgItem(kIdcAudioOnly));
    auto* save = qobject_cast<QAbstractButton*>(dialog.GetDlgItem(kIdcSave));
    if (!devices || !profiles || !audioOnly || !save)
        return 1;
    bool painted = false;
    const int device = devices->findText(QStringLiteral("Device 042"));
    if (device < 0)
        return 1;
    const auto report = [&](const char* key, const std::function<void()>& action) {
        const long long ns = Act(anyPaint, action, painted);
        std::printf("%s %lld %d\n", key, ns, painted ? 1 : 0);
    };
    report("device", [&] { Choose(devices, device); });
    report("select", [&] { Choose(profiles, profiles->count() / 2); });
    report("type", [&] { audioOnly->click(); });
    std::printf("devicefile %s\n", TextOf(dialog.GetDlgItem(kIdcProfileSelector)).toUtf8().constData());

    // Save after an edit of the description, answering Yes to the question it asks.
    QWidget* description = dialog.GetDlgItem(kIdcDescription);
    description->setFocus();
    if (auto* multi = qobject_cast<QPlainTextEdit*>(description)) {
        multi->selectAll();
        multi->insertPlainText(QStringLiteral("edited by the benchmark"));
    } else if (auto* line = qobject_cast<QLineEdit*>(description)) {
        line->selectAll();
        line->insert(QStringLiteral("edited by the benchmark"));
    }
    QCoreApplication::processEvents();
    const QString path = TextOf(dialog.GetDlgItem(kIdcProfilePath));
    answerYes = true;
    report("save", [&] { save->click(); });
    answerYes = false;
    QFile written(path);
    const bool saved = written.open(QIODevice::ReadOnly) && written.readAll().contains("edited by the benchmark");
    std::printf("saved %d\n", saved ? 1 : 0);
    return 0;
}
