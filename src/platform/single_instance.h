#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace hv::platform {

// One running copy per user. The first copy listens under a name; a later copy finds it there,
// asks it to come forward and ends, so that two clocks never speak over each other.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // The name every copy of this user looks under, in the user's runtime folder.
    [[nodiscard]] static QString userServerName();

    explicit SingleInstance(QString serverName, QObject* parent = nullptr);

    // True when another copy already runs and has been asked to come forward: this copy then
    // ends. Otherwise this copy becomes the one the next copies find.
    [[nodiscard]] bool handOverToRunningCopy();

signals:
    // A later copy was started and ended in favour of this one.
    void anotherCopyStarted();

private:
    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

} // namespace hv::platform
