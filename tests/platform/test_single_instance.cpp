#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/single_instance.h"

using hv::platform::SingleInstance;

class TestSingleInstance final : public QObject
{
    Q_OBJECT

private slots:
    void laterCopyEndsAndBringsTheFirstForward()
    {
        SingleInstance first(name());
        QVERIFY(!first.handOverToRunningCopy());
        QSignalSpy cameForward(&first, &SingleInstance::anotherCopyStarted);
        for (int copy = 1; copy <= 2; ++copy) {
            SingleInstance later(name());
            QVERIFY(later.handOverToRunningCopy());
            QTRY_COMPARE(cameForward.count(), copy);
        }
    }

    void crashedCopyLeftoverDoesNotBlockTheNext()
    {
        // A copy that crashed leaves its socket bound with nobody listening on it.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, qPrintable(name()), sizeof address.sun_path);
        const int leftover = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(leftover, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(leftover);
        QVERIFY(QFile::exists(name()));

        SingleInstance next(name());
        QVERIFY(!next.handOverToRunningCopy());
        SingleInstance afterIt(name());
        QVERIFY(afterIt.handOverToRunningCopy());
    }

private:
    QTemporaryDir m_dir;
    [[nodiscard]] QString name() const { return m_dir.filePath(QStringLiteral("horavox.socket")); }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
