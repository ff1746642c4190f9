#include <QApplication>

#include "agentctl/runtime/agent_engine.h"
#include "platform/qt_platform.h"
#include "shell/dialog_font.h"
#include "shell/main_window.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Horavox"));
    // The program lives on in the tray with its window hidden; only Exit ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    hv::shell::useDialogFont();

    hv::platform::QtPlatform platform;
    agentctl::runtime::AgentEngine agent;
    hv::shell::frmHoravox window(platform, agent);
    return QApplication::exec();
}
