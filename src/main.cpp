#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "engine/runtime/agent_engine.h"
#include "platform/qt_platform.h"
#include "platform/single_instance.h"
#include "shell/dialog_font.h"
#include "shell/main_window.h"

namespace {

// Characters stand where the settings put them only where a window may place itself, which a
// Wayland session refuses; through XWayland it may. A platform the user chose is left alone,
// and without an X server to reach the program stays on Wayland rather than not start.
// True when the choice was made here.
bool preferXWayland()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY") ||
        qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

// --help and --version print and end here, before the clock starts or the first run is used
// up; they need no display, so only a core application is made for them. Qt's own options
// (-platform, -display, ...) are the GUI application's to take, so what is unknown here is
// only reported once that has had its pick.
void describeCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A talking clock: an animated character says the time and your alarms."));
    parser.addHelpOption();
    parser.addVersionOption();
}

void answerHelpOrVersion(int argc, char* argv[])
{
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Horavox"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HORAVOX_VERSION));
    answerHelpOrVersion(argc, argv);

    const bool choseXWayland = preferXWayland();
    QApplication app(argc, argv);
    {
        QCommandLineParser parser;
        describeCommandLine(parser);
        parser.process(app);
    }
    // Programs started from here (browser, help viewer) get the user's session as it was.
    if (choseXWayland)
        qunsetenv("QT_QPA_PLATFORM");
    // The program lives on in the tray with its window hidden; only Exit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // Before anything is read, shown or played: a second copy only brings the first forward.
    hv::platform::SingleInstance instance(hv::platform::SingleInstance::userServerName());
    if (instance.handOverToRunningCopy())
        return 0;

    hv::shell::useDialogFont();
    hv::platform::QtPlatform platform;
    engine::runtime::AgentEngine agent;
    hv::shell::frmHoravox window(platform, agent);
    QObject::connect(&instance, &hv::platform::SingleInstance::anotherCopyStarted, &window,
                     &hv::shell::frmHoravox::comeForward);
    return QApplication::exec();
}
