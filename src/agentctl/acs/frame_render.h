#pragma once

#include <optional>

#include <QImage>

#include "agentctl/acs/acs_model.h"

namespace agentctl::acs {

// One frame composited on a transparent canvas of the character's size (ARGB32). With a mouth
// shape, that shape's overlay is drawn on top, in place of the frame's top image when the
// overlay says so; a frame without that overlay is drawn plain.
[[nodiscard]] Result<QImage> renderFrame(const CharacterFile& character, const Frame& frame,
                                         std::optional<MouthShape> mouth = std::nullopt);

} // namespace agentctl::acs
