#include "platform/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <utility>

namespace hv::platform {

namespace {
// A running copy answers a local connection at once, even while busy; this only bounds a wait
// that should never happen.
constexpr int CONNECT_TIMEOUT_MS = 500;
} // namespace

QString SingleInstance::userServerName()
{
    // The runtime folder is the user's own (mode 0700), so the name is per user and a copy of
    // another user can neither be found nor reach this one.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("horavox.socket"));
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName))
{}

bool SingleInstance::handOverToRunningCopy()
{
    QLocalSocket probe;
    probe.connectToServer(m_serverName);
    // The connection itself is the request: the running copy comes forward for any of them.
    if (probe.waitForConnected(CONNECT_TIMEOUT_MS)) {
        probe.disconnectFromServer();
        return true;
    }
    // Nobody answers: what is left under the name belongs to a copy that crashed.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            socket->deleteLater();
            emit anotherCopyStarted();
        }
    });
    if (!m_server->listen(m_serverName))
        qWarning("Horavox: later copies will not find this one: %s",
                 qPrintable(m_server->errorString()));
    return false;
}

} // namespace hv::platform
