#include <QComboBox>
#include <QFileSystemModel>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "window_fixture.h"

using hv::platform::MessageResult;
using hv::testing::readFile;
using hv::testing::WindowFixture;
using hv::testing::writeFile;

namespace {

// The panel's height is 3450 twips against the window's 5130: 1680 twips, 112 pixels, less.
constexpr int CUT_SHORT_BY = 112;

const QString NOT_FOUND =
    "No Agent Files Found at this Location!\r\nWould you like to search again?";
const QString CANCELLED = "Horavox cannot run without knowing\r\nwhere the Agent files are "
                          "located. Would you like\r\nto look for the Agent files?";

} // namespace

class TestFolderSearchPanel final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void okTakesTheHighlightedOrOpenFolder_data();
    void okTakesTheHighlightedOrOpenFolder();
    void withoutAFolderTheUserTriesAgainOrEnds_data();
    void withoutAFolderTheUserTriesAgainOrEnds();
    void unreadableDriveGoesBackSilently_data();
    void unreadableDriveGoesBackSilently();

private:
    [[nodiscard]] bool panelInView() const;
    [[nodiscard]] QString folder(const QString& relative) const
    {
        return m_f->windows.path() + "/pick/" + relative;
    }

    std::unique_ptr<WindowFixture> m_f;
    hv::shell::frmHoravox* m_window = nullptr;
    int m_fullHeight = 0;
};

void TestFolderSearchPanel::init()
{
    m_f = std::make_unique<WindowFixture>();
    WindowFixture::putFiles(
        folder(""), {"chars/Olwen.acs", "chars/Tock.acs", "outer/inner/a.acs", "empty/notes.txt"});
    m_window = &m_f->start();
    // Nothing anywhere: the panel is in view, the options far out to the left.
    QVERIFY(panelInView());
    QCOMPARE(m_window->fraFindAgentPath->x(), 3);
    QVERIFY(m_window->fraMain->x() < -600);
    m_fullHeight = m_window->height() + CUT_SHORT_BY;
}

void TestFolderSearchPanel::cleanup()
{
    m_f.reset();
}

bool TestFolderSearchPanel::panelInView() const
{
    return m_window->fraFindAgentPath->x() > 0 && m_window->fraMain->x() < 0;
}

void TestFolderSearchPanel::okTakesTheHighlightedOrOpenFolder_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("highlighted");
    QTest::newRow("highlighted subfolder") << QString() << QString("chars");
    QTest::newRow("highlighted wins over open") << QString("empty") << QString("chars");
    QTest::newRow("open folder, nothing highlighted") << QString("chars") << QString();
}

void TestFolderSearchPanel::okTakesTheHighlightedOrOpenFolder()
{
    QFETCH(QString, open);
    QFETCH(QString, highlighted);
    QFileSystemModel* model = m_window->dirModel;
    m_window->dirList->setRootIndex(model->setRootPath(folder(open)));
    m_window->dirList->setCurrentIndex(highlighted.isEmpty() ? QModelIndex()
                                                             : model->index(folder(highlighted)));

    m_window->cmdOkAgentPath->click();

    QCOMPARE(m_window->clock().settings().sAgentPath, folder("chars/"));
    QVERIFY(!panelInView());
    QCOMPARE(m_window->fraMain->x(), 3);
    QCOMPARE(m_window->height(), m_fullHeight);
    QCOMPARE(m_window->lstAgents->count(), 2);
    QVERIFY(m_f->platform.messageBoxes.isEmpty());
    QVERIFY(readFile(m_f->settingsPath()).endsWith(",\"" + folder("chars/").toUtf8() + "\"\r\n"));
}

void TestFolderSearchPanel::withoutAFolderTheUserTriesAgainOrEnds_data()
{
    QTest::addColumn<QString>("highlighted");
    QTest::addColumn<MessageResult>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    // An empty highlight stands for the Cancel button.
    QTest::newRow("no files, try again")
        << "empty" << MessageResult::Yes << NOT_FOUND << "Find the Agent Files?";
    QTest::newRow("files only in a subfolder, end")
        << "outer" << MessageResult::No << NOT_FOUND << "Find the Agent Files?";
    QTest::newRow("cancel, try again")
        << "" << MessageResult::Yes << CANCELLED << "Search again for the Agent Files?";
    QTest::newRow("cancel, end") << "" << MessageResult::No << CANCELLED
                                 << "Search again for the Agent Files?";
}

void TestFolderSearchPanel::withoutAFolderTheUserTriesAgainOrEnds()
{
    QFETCH(QString, highlighted);
    QFETCH(MessageResult, answer);
    QFETCH(QString, text);
    QFETCH(QString, title);
    m_f->platform.answers = {answer};
    const int height = m_window->height();

    if (highlighted.isEmpty()) {
        m_window->cmdCancelAgentPath->click();
    } else {
        m_window->dirList->setCurrentIndex(m_window->dirModel->index(folder(highlighted)));
        m_window->cmdOkAgentPath->click();
        QCOMPARE(m_window->clock().settings().sAgentPath, folder(highlighted + '/'));
        // The tried folder is open, so the next try goes on from inside it.
        QCOMPARE(m_window->openFolder(), folder(highlighted));
        QCOMPARE(m_window->dirList->rootIndex(), m_window->dirModel->index(folder(highlighted)));
    }

    QCOMPARE(m_f->platform.messageBoxes.size(), 1);
    const auto& box = m_f->platform.messageBoxes.first();
    QCOMPARE(box.text, text);
    QCOMPARE(box.title, title);
    QCOMPARE(box.icon, hv::platform::MessageIcon::Critical);
    QCOMPARE(box.buttons, hv::platform::MessageButtons::YesNo);
    QCOMPARE(m_f->platform.endRequests, answer == MessageResult::No ? 1 : 0);
    QVERIFY(panelInView());
    QCOMPARE(m_window->height(), height);
    QCOMPARE(m_window->lstAgents->count(), 0);
    QCOMPARE(QDir(m_f->app.path()).entryList(QDir::Files), QStringList());
}

void TestFolderSearchPanel::unreadableDriveGoesBackSilently_data()
{
    QTest::addColumn<bool>("readable");
    QTest::newRow("readable drive") << true;
    QTest::newRow("unreadable drive") << false;
}

void TestFolderSearchPanel::unreadableDriveGoesBackSilently()
{
    QFETCH(bool, readable);
    const QString drive = readable ? folder("") : folder("no such drive/");
    const QString before = m_window->openFolder();
    m_window->drvList->addItem(drive);
    m_window->drvList->setCurrentIndex(m_window->drvList->count() - 1);

    m_window->drvList_Change();

    QCOMPARE(m_window->openFolder(), readable ? QDir::cleanPath(drive) : before);
    QCOMPARE(m_window->drvList->currentText() == drive, readable);
    QVERIFY(m_f->platform.messageBoxes.isEmpty());
}

QTEST_MAIN(TestFolderSearchPanel)
#include "test_folder_search_panel.moc"
