#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "about/about_dialog.h"
#include "window_fixture.h"

using hv::about::frmAbout;
using hv::testing::WindowFixture;

class TestAbout final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_f.reset(); }
    void sceneRunsToItsEnd_data();
    void sceneRunsToItsEnd();
    void presenterStandsBesideTheWindow_data();
    void presenterStandsBesideTheWindow();
    void opensOneDialog_data();
    void opensOneDialog();
    void linksOpenTheirAddresses_data();
    void linksOpenTheirAddresses();

private:
    hv::shell::frmHoravox& start(const QString& characterFile)
    {
        m_f = std::make_unique<WindowFixture>();
        WindowFixture::putFiles(m_f->charsFolder(), {characterFile});
        return m_f->start();
    }
    std::unique_ptr<WindowFixture> m_f;
};

void TestAbout::sceneRunsToItsEnd_data()
{
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<QStringList>("afterShow");
    QTest::addColumn<bool>("playing");
    const QStringList scene =
        QString(R"(Play Wave|Speak Hi! This is the Horavox.|Play Announce|)"
                R"(Speak This is version 2.01. Created April 24th, 2000.|Play Surprised|)"
                R"(Speak Well, what do you know! Dorrit, and Osric,, actually got around to )"
                R"(fixing some of the bugs!|Play Pleased|Speak Just kidding!|Play Blink|)"
                R"(Speak This program was conceived of, and created by, Dorrit Fenwald, )"
                R"(Osric Brannock, and, Ilsabet Quarrel..|Play Alert|)"
                R"(Speak \Vol=20084\\Chr="Whisper"\Three People. With way, too much time )"
                R"(on their hands.  If you ask me.|Play LookLeft|Play LookLeftReturn|)"
                R"(Play LookRight|Play LookRightReturn|Play Alert|)"
                R"(Speak \Vol=20084\\Chr="Whisper"\Don't tell them, I said that.|)"
                R"(Play Pleased|Play Wave|Speak \Pit=202\So long.|Hide)")
            .split('|');
    QTest::newRow("whole scene") << "" << scene << true;
    QTest::newRow("missing animations skipped") << "Play Look" << scene << true;
    QTest::newRow("presenter fails") << "Speak Hi" << scene.mid(0, 2) << false;
    QTest::newRow("presenter file gone") << "Load" << QStringList() << false;
}

void TestAbout::sceneRunsToItsEnd()
{
    QFETCH(QString, failingCall);
    QFETCH(QStringList, afterShow);
    QFETCH(bool, playing);
    auto& window = start("Peedy.acs");
    if (failingCall == "Load")
        m_f->agent.failingPaths.append(m_f->charsFolder() + "Peedy.acs");
    else
        m_f->agent.failingCall = failingCall;
    const QPoint at(window.iAgentX, window.iAgentY);

    window.mnuAboutAnimation->trigger();

    const int shown = m_f->agent.log.indexOf("Show");
    QCOMPARE(shown < 0 ? QStringList() : m_f->agent.log.mid(shown + 1), afterShow);
    QCOMPARE(m_f->platform.messageBoxes.size(), failingCall == "Load" ? 1 : 0);
    QVERIFY(window.cmdTest->isEnabled());
    QVERIFY(!window.bAgentBusy);
    QCOMPARE(QPoint(window.iAgentX, window.iAgentY), at);
    QCOMPARE(bool(window.objCharacter), playing);
    QCOMPARE(window.imgAgents->isHidden(), playing);
    if (playing) {
        QCOMPARE(window.reqHide, m_f->agent.requests.last());
        m_f->agent.complete(window.reqHide);
        QVERIFY(!window.imgAgents->isHidden());
    }
}

void TestAbout::presenterStandsBesideTheWindow_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QPoint>("window");
    QTest::addColumn<int>("fromRightEdge");
    QTest::newRow("merlin") << "merlin.acs" << QPoint(300, 120) << 146;
    QTest::newRow("peedy") << "Peedy.acs" << QPoint(40, 300) << 162;
}

void TestAbout::presenterStandsBesideTheWindow()
{
    QFETCH(QString, file);
    QFETCH(QPoint, window);
    QFETCH(int, fromRightEdge);
    auto& main = start(file);
    main.move(window);
    const QRect outer = main.frameGeometry();
    QCOMPARE(outer.topLeft(), window);

    main.mnuAboutAnimation->trigger();

    QVERIFY(m_f->agent.log.contains("Load CharacterID " + m_f->charsFolder() + file));
    const int right = window.x() + outer.width();
    QVERIFY(m_f->agent.log.contains(
        QString("MoveTo %1 %2").arg(right - fromRightEdge).arg(window.y() + 75)));
}

void TestAbout::opensOneDialog_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("animation");
    QTest::newRow("dialog box twice") << "Peedy.acs" << false;
    QTest::newRow("animation without a built-in character") << "robot.acs" << true;
}

void TestAbout::opensOneDialog()
{
    QFETCH(QString, file);
    QFETCH(bool, animation);
    auto& window = start(file);
    QAction* item = animation ? window.mnuAboutAnimation : window.mnuAboutDialog;

    item->trigger();
    const auto first = window.findChildren<frmAbout*>();
    item->trigger();

    QCOMPARE(first.size(), 1);
    QCOMPARE(window.findChildren<frmAbout*>(), first);
    QVERIFY(first[0]->isVisible());
    QVERIFY(!m_f->agent.log.join(' ').contains("Load"));
    // OK closes it for good; the next opening starts afresh.
    QTest::mouseClick(first[0]->cmdOkay, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.findChildren<frmAbout*>().isEmpty());
}

void TestAbout::linksOpenTheirAddresses_data()
{
    QTest::addColumn<int>("link");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("first author") << 0 << QStringList{"http://www.example.org/~dorrit/"};
    QTest::newRow("third author") << 1 << QStringList{"http://www.example.com/ilsabet/"};
    QTest::newRow("second author has none") << 2 << QStringList();
    QTest::newRow("mail") << 3 << QStringList{"mailto:dorrit@example.org?Subject=Horavox"};
}

void TestAbout::linksOpenTheirAddresses()
{
    QFETCH(int, link);
    QFETCH(QStringList, opened);
    start("Peedy.acs").mnuAboutDialog->trigger();
    auto* dialog = m_f->window->findChild<frmAbout*>();
    QLabel* links[] = {dialog->lblCreditA, dialog->lblCreditB, dialog->lblCreditC,
                       dialog->lblCreditAEmail};

    QTest::mouseClick(links[link], Qt::LeftButton);

    QCOMPARE(m_f->platform.openedAddresses, opened);
    QCOMPARE(links[link]->cursor().shape(), Qt::PointingHandCursor);
}

QTEST_MAIN(TestAbout)
#include "test_about.moc"
