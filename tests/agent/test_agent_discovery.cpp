#include <QAction>
#include <QFrame>
#include <QListWidget>
#include <QTest>

#include "window_fixture.h"

using hv::testing::WindowFixture;

namespace {

QStringList listEntries(const QListWidget* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries.append(list->item(i)->text());
    return entries;
}

} // namespace

class TestAgentDiscovery final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsTheCharactersOfTheFolder_data();
    void listsTheCharactersOfTheFolder();
    void searchesTheStoredFolderOrTheDefaultPlaces_data();
    void searchesTheStoredFolderOrTheDefaultPlaces();
    void menuAndListStayInStep_data();
    void menuAndListStayInStep();
    void firstRunRemembersTheFolderAndTheNextStartsHidden();

private:
    // The current entry is the same in the list, the menu and sAgentName's lower case.
    void verifyCurrent(int index);

    std::unique_ptr<WindowFixture> m_f;
};

void TestAgentDiscovery::init()
{
    m_f = std::make_unique<WindowFixture>();
}

void TestAgentDiscovery::cleanup()
{
    m_f.reset();
}

void TestAgentDiscovery::verifyCurrent(int index)
{
    const hv::shell::frmHoravox& window = *m_f->window;
    QCOMPARE(window.iAgentIndex, index);
    QCOMPARE(window.lstAgents->currentRow(), index);
    for (int i = 0; i < window.mnuAgent.size(); ++i)
        QCOMPARE(window.mnuAgent[i]->isChecked(), i == index);
    QCOMPARE(window.sAgentName.toLower(), window.lstAgents->item(index)->text());
}

void TestAgentDiscovery::listsTheCharactersOfTheFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("agentName");
    QTest::addColumn<QString>("defaultAgent");
    QTest::newRow("name kept in its own case")
        << QStringList{"Peedy.acs"} << "Peedy" << QStringList{"peedy"} << 0 << "Peedy"
        << "peedy";
    QTest::newRow("genie before merlin")
        << QStringList{"merlin.acs", "Genie.ACS", "notes.txt"} << "MERLIN"
        << QStringList{"genie", "merlin"} << 1 << "MERLIN"
        << "genie";
    QTest::newRow("peedy preferred")
        << QStringList{"robby.acs", "peedy.acs", "genie.acs"} << "robby"
        << QStringList{"genie", "peedy", "robby"} << 2 << "robby"
        << "peedy";
    QTest::newRow("robby last resort")
        << QStringList{"robby.acs", "zak.acs"} << "zak" << QStringList{"robby", "zak"} << 1 << "zak"
        << "robby";
    QTest::newRow("other characters only")
        << QStringList{"rover.acs", "bonzi.acs", "clippit.acs"} << "clippit"
        << QStringList{"bonzi", "clippit", "rover"} << 1 << "clippit"
        << "";
    QTest::newRow("stored name gone") << QStringList{"merlin.acs", "zak.acs"} << "Peedy"
                                      << QStringList{"merlin", "zak"} << 0 << "merlin"
                                      << "merlin";
}

void TestAgentDiscovery::listsTheCharactersOfTheFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QString, storedName);
    QFETCH(QStringList, entries);
    QFETCH(int, current);
    QFETCH(QString, agentName);
    QFETCH(QString, defaultAgent);
    WindowFixture::putFiles(m_f->charsFolder(), files);
    m_f->writeSettings(storedName, QString());

    const hv::shell::frmHoravox& window = m_f->start();

    QCOMPARE(listEntries(window.lstAgents), entries);
    QCOMPARE(window.mnuAgent.size(), entries.size());
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(window.mnuAgent[i]->text(), entries[i]);
    verifyCurrent(current);
    QCOMPARE(window.sAgentName, agentName);
    QCOMPARE(window.sDefaultAgent, defaultAgent);
}

void TestAgentDiscovery::searchesTheStoredFolderOrTheDefaultPlaces_data()
{
    // Files go under the windows folder: chars/ is msagent/chars/, other/ the second place.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("first default place")
        << QStringList{"msagent/chars/peedy.acs", "other/genie.acs"} << ""
        << "msagent/chars/" << QStringList{"peedy"};
    QTest::newRow("second default place") << QStringList{"other/genie.acs"} << ""
                                          << "other/" << QStringList{"genie"};
    QTest::newRow("subfolders not searched") << QStringList{"msagent/chars/sub/peedy.acs"} << ""
                                             << "" << QStringList();
    QTest::newRow("stored folder wins")
        << QStringList{"stored/merlin.acs", "msagent/chars/peedy.acs"} << "stored/"
        << "stored/" << QStringList{"merlin"};
    QTest::newRow("stored folder without files")
        << QStringList{"stored/sub/merlin.acs", "msagent/chars/peedy.acs"} << "stored/"
        << "stored/" << QStringList();
}

void TestAgentDiscovery::searchesTheStoredFolderOrTheDefaultPlaces()
{
    QFETCH(QStringList, files);
    QFETCH(QString, stored);
    QFETCH(QString, found);
    QFETCH(QStringList, entries);
    const QString root = m_f->windows.path() + '/';
    WindowFixture::putFiles(m_f->windows.path(), files);
    m_f->platform.otherFolder = root + "other/";
    m_f->writeSettings("Peedy", stored.isEmpty() ? QString() : root + stored);

    const hv::shell::frmHoravox& window = m_f->start();

    QCOMPARE(window.sAgentPath, found.isEmpty() ? QString() : root + found);
    QCOMPARE(listEntries(window.lstAgents), entries);
    // Without characters the folder search panel takes the place of the options.
    QCOMPARE(window.fraFindAgentPath && window.fraFindAgentPath->x() > 0, entries.isEmpty());
    if (entries.isEmpty())
        QCOMPARE(window.mnuAgent[0]->text(), QString("None"));
}

void TestAgentDiscovery::menuAndListStayInStep_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<int>("index");
    QTest::newRow("menu") << true << 2;
    QTest::newRow("list") << false << 1;
    QTest::newRow("menu, current entry") << true << 0;
    QTest::newRow("list, current entry") << false << 0;
}

void TestAgentDiscovery::menuAndListStayInStep()
{
    QFETCH(bool, fromMenu);
    QFETCH(int, index);
    WindowFixture::putFiles(m_f->charsFolder(), {"genie.acs", "merlin.acs", "robby.acs"});
    m_f->writeSettings("genie", QString());
    hv::shell::frmHoravox& window = m_f->start();
    QFile::remove(m_f->settingsPath());

    if (fromMenu) {
        window.mnuAgent[index]->trigger();
    } else {
        window.lstAgents->setCurrentRow(index);
        window.lstAgents_Click();
    }

    verifyCurrent(index);
    QVERIFY(!QFile::exists(m_f->settingsPath()));
}

void TestAgentDiscovery::firstRunRemembersTheFolderAndTheNextStartsHidden()
{
    WindowFixture::putFiles(m_f->charsFolder(), {"Peedy.acs"});
    QVERIFY(m_f->start().isWindowShown());
    QFile settings(m_f->settingsPath());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll().split(',').value(6), "\"" + m_f->charsFolder().toUtf8() + "\"\r\n");

    const hv::shell::frmHoravox& second = m_f->start();
    QVERIFY(!second.isWindowShown());
    QCOMPARE(second.sAgentPath, m_f->charsFolder());
}

QTEST_MAIN(TestAgentDiscovery)
#include "test_agent_discovery.moc"
