#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "about/about_dialog.h"
#include "window_fixture.h"

using hv::about::frmAbout;
using hv::testing::WindowFixture;

class TestAbout final : public QObject
{
    Q_OBJECT

    hv::shell::frmHoravox& start(const QString& characterFile)
    {
        m_f = std::make_unique<WindowFixture>();
        WindowFixture::putFiles(m_f->charsFolder(), {characterFile});
        return m_f->start();
    }
    std::unique_ptr<WindowFixture> m_f;

private slots:
    void cleanup() { m_f.reset(); }

    void sceneRunsBesideTheWindow_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QPoint>("outerTopLeft");
        QTest::addColumn<int>("fromRightEdge");
        QTest::addColumn<QString>("failingCall");
        QTest::addColumn<QStringList>("afterShow");
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
        QTest::newRow("olwen") << "Olwen.acs" << QPoint(40, 300) << 146 << "" << scene;
        QTest::newRow("pim, missing animations skipped")
            << "pim.acs" << QPoint(300, 120) << 146 << "Play Look" << scene;
        QTest::newRow("presenter fails") << "Olwen.acs" << QPoint(40, 300) << 0 << "Speak Hi"
                                         << scene.mid(0, 2) + QStringList{"Unload CharacterID"};
        QTest::newRow("presenter file gone")
            << "Olwen.acs" << QPoint(40, 300) << 0 << "Load" << QStringList();
    }
    void sceneRunsBesideTheWindow()
    {
        QFETCH(QString, file);
        QFETCH(QPoint, outerTopLeft);
        QFETCH(int, fromRightEdge);
        QFETCH(QString, failingCall);
        QFETCH(QStringList, afterShow);
        auto& window = start(file);
        window.move(outerTopLeft);
        if (failingCall == "Load")
            m_f->agent.failingPaths.append(m_f->charsFolder() + file);
        else
            m_f->agent.failingCall = failingCall;
        const QPoint at = window.clock().agentPosition();

        window.mnuAboutAnimation->trigger();

        const int shown = m_f->agent.log.indexOf("Show");
        QCOMPARE(shown < 0 ? QStringList() : m_f->agent.log.mid(shown + 1), afterShow);
        // Told without a box, which would stop the clock.
        QVERIFY(m_f->platform.messageBoxes.isEmpty());
        QCOMPARE(window.statusBar()->currentMessage().contains("error opening the Agent file"),
                 failingCall == "Load");
        QCOMPARE(window.clock().agentPosition(), at);
        const bool playing = fromRightEdge > 0;
        QCOMPARE(bool(window.clock().objCharacter()), playing);
        QCOMPARE(window.imgAgents->isHidden(), playing);
        if (!playing)
            return;
        const int right = outerTopLeft.x() + window.frameGeometry().width();
        QVERIFY(m_f->agent.log.contains(
            QString("MoveTo %1 %2").arg(right - fromRightEdge).arg(outerTopLeft.y() + 75)));
        QCOMPARE(window.clock().reqHide(), m_f->agent.requests.last());
        m_f->agent.complete(window.clock().reqHide());
        QVERIFY(!window.imgAgents->isHidden());
    }

    void opensOneDialogWithLinks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("animation"); // and the links followed by keyboard
        QTest::newRow("dialog box twice") << "Olwen.acs" << false;
        QTest::newRow("animation without a built-in character") << "robot.acs" << true;
    }
    void opensOneDialogWithLinks()
    {
        QFETCH(QString, file);
        QFETCH(bool, animation);
        auto& window = start(file);
        QAction* item = animation ? window.mnuAboutAnimation : window.mnuAboutDialog;
        item->trigger();
        const auto first = window.findChildren<frmAbout*>();
        item->trigger();
        QVERIFY(first.size() == 1 && first[0]->isVisible());
        QCOMPARE(window.findChildren<frmAbout*>(), first);
        QVERIFY(!m_f->agent.log.join(' ').contains("Load"));
        first[0]->cmdOkay->setFocus();
        // The second author has no page yet: his label opens nothing, and Tab passes it by.
        for (QLabel* link : {first[0]->lblCreditA, first[0]->lblCreditC, first[0]->lblCreditB,
                             first[0]->lblCreditAEmail}) {
            if (!animation)
                QTest::mouseClick(link, Qt::LeftButton);
            else if (link != first[0]->lblCreditC)
                for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Return}) // from OK, one link after another
                    QTest::keyClick(first[0]->focusWidget(), key);
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(m_f->platform.openedAddresses,
                 QStringList({"http://www.example.org/~dorrit/", "http://www.example.com/ilsabet/",
                              "mailto:dorrit@example.org?Subject=Horavox"}));
        QVERIFY(first[0]->isVisible()); // Enter on a link does not also press OK
        // OK closes it for good; the next opening starts afresh.
        QTest::mouseClick(first[0]->cmdOkay, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.findChildren<frmAbout*>().isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
