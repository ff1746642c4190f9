#include <QAction>
#include <QActionGroup>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>

#include "platform/platform.h"
#include "shell/main_window.h"

namespace hv::shell {

bool frmHoravox::FindAgentFiles()
{
    const std::optional<int> chosen =
        m_clock.FindAgentFiles({m_platform.windowsFolder() + QStringLiteral("/chars/"),
                                m_platform.otherCharacterFolder()});
    if (!chosen)
        return false;
    FillAgentList(*chosen);
    return true;
}

void frmHoravox::FillAgentList(int chosen)
{
    {
        // Filling the list chooses nothing.
        const QSignalBlocker quiet(lstAgents);
        lstAgents->clear();
        lstAgents->addItems(m_clock.characterNames());
        lstAgents->setCurrentRow(chosen);
    }
    mnuAgent[0]->setText(lstAgents->item(0)->text());
    for (int i = int(mnuAgent.size()); i < lstAgents->count(); ++i) {
        QAction* item = mnuChooseAgent->addAction(lstAgents->item(i)->text());
        item->setCheckable(true);
        mnuAgent[0]->actionGroup()->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { mnuAgent_Click(i); });
        mnuAgent.append(item);
    }
    mnuAgent[chosen]->setChecked(true);
}

void frmHoravox::lstAgents_Click()
{
    const int row = lstAgents->currentRow();
    if (row < 0)
        return;
    if (row < mnuAgent.size())
        mnuAgent[row]->setChecked(true);
    m_clock.setAgentName(lstAgents->item(row)->text());
}

} // namespace hv::shell
