#include <csignal>
#include <cstdlib>

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

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

// The end-of-program signals are written to this pair and read in the event loop, since a
// signal handler may do next to nothing itself.
int s_endSignal[2] = {-1, -1};
// The window whose settings and alarms are saved should the X server go away: Qt then ends the
// program with exit(), past everything else.
hv::shell::frmHoravox* s_window = nullptr;

void writeEndSignal(int signal)
{
    const char byte = char(signal);
    (void)!::write(s_endSignal[1], &byte, 1);
}

void saveAtExit()
{
    if (!s_window)
        return;
    s_window->saveEverything();
    // The rest of the teardown would pull the sound system away from under its own thread,
    // which is still playing.
    std::_Exit(EXIT_FAILURE);
}

// SIGTERM (a shutdown, a kill) and SIGHUP (the terminal or session gone) end the program the
// way Exit does, saving first.
void endOnSignals(hv::shell::frmHoravox& window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_endSignal) != 0)
        return;
    auto* notifier = new QSocketNotifier(s_endSignal[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        (void)!::read(s_endSignal[0], &byte, 1);
        window.mnuExit_Click();
    });
    struct sigaction action = {};
    action.sa_handler = writeEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
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
    endOnSignals(window);
    s_window = &window;
    std::atexit(saveAtExit);
    const int result = QApplication::exec();
    s_window = nullptr;
    return result;
}
