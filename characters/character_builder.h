#pragma once

#include <optional>

#include <QString>
#include <QVector>

#include "characters/character_design.h"
#include "engine/acs/acs_model.h"

namespace hv::characters {

// The characters that ship with the program, in the order they are listed.
[[nodiscard]] QVector<CharacterDesign> bundledDesigns();

// Draws every frame of `design` and assembles the whole character, ready for the writer. Fails,
// naming the frame in `error`, when a drawing breaks a rule the file relies on (a mouth shape
// that reaches outside its box, a box off the frame).
[[nodiscard]] std::optional<engine::acs::CharacterFile>
buildCharacter(const CharacterDesign& design, QString* error);

} // namespace hv::characters
