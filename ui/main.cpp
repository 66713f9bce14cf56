#include <cstdio>

#include <QCommandLineParser>
#include <QStringList>

#include "platform/Platform.h"
#include "ui/OrreryApp.h"
#include "ui/ProgramInfo.h"

namespace {

// --help and --version are answered before the application object exists, because it
// needs a display. Every other argument is left to the toolkit (-platform, -style) as
// it always was. Returns the exit status when the answer is all, or -1 to open the
// window.
int AnswerInformationOptions(int argc, char** argv)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Edits media-conversion profiles: pick a device, an output type and a profile, change it and save it.\n"
        "orrery-profile works on the same profiles from the command line."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this text."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Shows the version."));
    parser.addOption(help);
    parser.addOption(version);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    parser.parse(arguments);
    if (parser.isSet(help)) {
        // Without an application object the usage line cannot know the program's name.
        QString text = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("orrery"));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("orrery %s\n", kProgramVersion);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    if (const int status = AnswerInformationOptions(argc, argv); status >= 0)
        return status;
    COrreryApp app(argc, argv);
    return app.Run();
}
