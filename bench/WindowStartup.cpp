// The window's start-up, run by the benchmark harness as a fresh process: the
// application and list skin as the program sets them up, then the real dialog on the
// program folder given, shown offscreen. It prints CLOCK_MONOTONIC times (ns) at its
// milestones so the harness can measure from the moment it started the process.
//
//   orrery_bench_window <program folder>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <cstdio>
#include <ctime>
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

// Nothing may wait for a person: every question is answered at once.
class CAnsweringPrompt : public CPrompt {
public:
    int MessageBox(const std::string& text, const std::string&, PromptButtons buttons, PromptIcon) override
    {
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

    COrreryDlg dialog(programFolder, std::make_unique<CAnsweringPrompt>());
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
    return watch.painted ? 0 : 1;
}
