#pragma once

#include <QPoint>
#include <QString>

#include "engine/control/agent_control.h"

// The About scene: a built-in character steps out beside the main window and presents the
// program, then leaves.
namespace hv::about {

// Queues the whole scene on a shown character and returns the request of its closing Hide.
// An animation the character does not have is left out; any other failure of the character
// raises AgentError.
[[nodiscard]] engine::AgentRequest queueAboutScene(engine::AgentCharacter& character);

// Where the presenter stands, in screen pixels, for a main window whose outer left edge, top
// edge and width are given in twips: beside the window's right edge, below its title.
[[nodiscard]] QPoint aboutScenePosition(int leftTwips, int topTwips, int widthTwips);

} // namespace hv::about
