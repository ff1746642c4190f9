#include <QAction>
#include <QActionGroup>
#include <QListWidget>
#include <QMenu>

#include "agent/character_files.h"
#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

bool frmHoravox::FindAgentFiles()
{
    QStringList names;
    if (!settings.sAgentPath.isEmpty()) {
        names = agent::characterFileNames(settings.sAgentPath);
    } else {
        const QStringList defaultFolders{m_platform.windowsFolder() + QStringLiteral("/chars/"),
                                         m_platform.otherCharacterFolder()};
        for (const QString& folder : defaultFolders) {
            sAgentPattern = folder + QStringLiteral("*.acs");
            names = agent::characterFileNames(folder);
            if (!names.isEmpty()) {
                settings.sAgentPath = folder;
                break;
            }
        }
    }
    if (names.isEmpty())
        return false;
    sAgentFile = names.first();
    FillAgentList(names);
    SaveSettings();
    return true;
}

void frmHoravox::FillAgentList(const QStringList& fileNames)
{
    lstAgents->clear();
    bFillingList = true;
    iAgentIndex = -1;
    sDefaultAgent.clear();
    for (const QString& fileName : fileNames)
        lstAgents->addItem(fileName.chopped(4).toLower());

    // With two files whose names differ only in case, the later one is taken.
    const QList<QListWidgetItem*> named = lstAgents->findItems(
        settings.sAgentName.toLower(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!named.isEmpty()) {
        iAgentIndex = qint16(lstAgents->row(named.last()));
        lstAgents->setCurrentRow(iAgentIndex);
        bFillingList = false;
    }
    PickDefaultAgent();
    if (iAgentIndex == -1) {
        iAgentIndex = 0;
        settings.sAgentName = lstAgents->item(0)->text();
        lstAgents->setCurrentRow(0);
        bFillingList = false;
    }

    mnuAgent[0]->setText(lstAgents->item(0)->text());
    for (int i = int(mnuAgent.size()); i < lstAgents->count(); ++i) {
        QAction* item = mnuChooseAgent->addAction(lstAgents->item(i)->text());
        item->setCheckable(true);
        mnuAgent[0]->actionGroup()->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { mnuAgent_Click(i); });
        mnuAgent.append(item);
    }
    mnuAgent[iAgentIndex]->setChecked(true);
}

void frmHoravox::PickDefaultAgent()
{
    sDefaultAgent.clear();
    for (const char* preferred : {"olwen", "tock", "pim"}) {
        const QString name = QString::fromLatin1(preferred);
        if (!lstAgents->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty()) {
            sDefaultAgent = name;
            return;
        }
    }
}

void frmHoravox::lstAgents_Click()
{
    const int row = lstAgents->currentRow();
    if (bFillingList || row < 0)
        return;
    bFillingList = true;
    iAgentIndex = qint16(row);
    if (iAgentIndex < mnuAgent.size())
        mnuAgent[iAgentIndex]->setChecked(true);
    settings.sAgentName = lstAgents->item(row)->text();
    bFillingList = false;
}

} // namespace hv::shell
