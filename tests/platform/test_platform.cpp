#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/install_layout.h"
#include "platform/single_instance.h"

using hv::platform::SingleInstance;

// Where the program keeps its files, and the one copy that runs at a time.
class TestPlatform final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    [[nodiscard]] QString socketName() const
    {
        return m_dir.filePath(QStringLiteral("horavox.socket"));
    }

private slots:
    void folders_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<bool>("installed");
        QTest::newRow("build folder") << "build" << false;
        QTest::newRow("installed, bin writable") << "usr/bin" << true;
        QTest::newRow("a bin folder, nothing installed") << "bin" << false;
    }

    // Settings and guide beside a copy run from its own folder; per-user settings and the data
    // folder's guide for an installed one.
    void folders()
    {
        QFETCH(QString, executable);
        QFETCH(bool, installed);
        QTemporaryDir root;
        for (const char* folder : {"build", "usr/bin", "usr/share/horavox", "bin", "share/other"})
            QVERIFY(QDir(root.path()).mkpath(folder));
        const QString exe = root.path() + '/' + executable;
        const QString home = root.path() + "/home";
        QCOMPARE(hv::platform::chooseApplicationFolder(exe, home), installed ? home : exe);
        QCOMPARE(hv::platform::programDataFolder(exe),
                 installed ? root.path() + "/usr/share/horavox" : exe);
    }

    // First run, a character the user removed, one the user replaced, and a package upgrade that
    // brings a new one: the user's folder lists what the user expects each time (a link whose
    // target is missing would not be listed).
    void bundledCharactersReachTheUsersFolder()
    {
        QTemporaryDir root;
        const QString bundled = root.path() + "/usr/share/horavox/chars";
        const QString user = root.path() + "/home/.local/share/Horavox/chars";
        const QString offered = root.path() + "/home/.local/share/Horavox/offered.txt";
        QVERIFY(QDir().mkpath(bundled));
        const auto put = [](const QString& path, const QByteArray& bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        const auto listed = [&] {
            return QDir(user).entryList({"*.acs"}, QDir::Files, QDir::Name);
        };
        for (const char* name : {"olwen.acs", "pim.acs", "tock.acs"})
            put(bundled + '/' + name, "bundled");

        QVERIFY(hv::platform::offerBundledCharacters(bundled, user, offered));
        QCOMPARE(listed(), QStringList({"olwen.acs", "pim.acs", "tock.acs"}));

        QVERIFY(QFile::remove(user + "/pim.acs"));
        QVERIFY(QFile::remove(user + "/tock.acs"));
        put(user + "/tock.acs", "the user's own");
        put(bundled + "/wren.acs", "new in the upgrade");
        QVERIFY(hv::platform::offerBundledCharacters(bundled, user, offered));
        QCOMPARE(listed(), QStringList({"olwen.acs", "tock.acs", "wren.acs"}));
        QFile tock(user + "/tock.acs");
        QVERIFY(tock.open(QIODevice::ReadOnly));
        QCOMPARE(tock.readAll(), QByteArray("the user's own"));

        QVERIFY(!hv::platform::offerBundledCharacters(bundled, offered + "/chars", offered));
    }

    void laterCopyEndsAndBringsTheFirstForward()
    {
        SingleInstance first(socketName());
        QVERIFY(!first.handOverToRunningCopy());
        QSignalSpy cameForward(&first, &SingleInstance::anotherCopyStarted);
        for (int copy = 1; copy <= 2; ++copy) {
            SingleInstance later(socketName());
            QVERIFY(later.handOverToRunningCopy());
            QTRY_COMPARE(cameForward.count(), copy);
        }
    }

    void crashedCopyLeftoverDoesNotBlockTheNext()
    {
        // A copy that crashed leaves its socket bound with nobody listening on it.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, qPrintable(socketName()), sizeof address.sun_path);
        const int leftover = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(leftover, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(leftover);
        QVERIFY(QFile::exists(socketName()));

        SingleInstance next(socketName());
        QVERIFY(!next.handOverToRunningCopy());
        SingleInstance afterIt(socketName());
        QVERIFY(afterIt.handOverToRunningCopy());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
