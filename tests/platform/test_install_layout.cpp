#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "platform/install_layout.h"

class TestInstallLayout final : public QObject
{
    Q_OBJECT

private slots:
    void folders_data();
    void folders();
};

void TestInstallLayout::folders_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("installed");
    QTest::newRow("build folder") << "build" << false;
    QTest::newRow("installed, bin writable") << "usr/bin" << true;
    QTest::newRow("a bin folder, nothing installed") << "bin" << false;
}

// Settings and guide beside a copy run from its own folder; per-user settings and the data
// folder's guide for an installed one.
void TestInstallLayout::folders()
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

QTEST_GUILESS_MAIN(TestInstallLayout)
#include "test_install_layout.moc"
