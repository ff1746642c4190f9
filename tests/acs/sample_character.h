#pragma once

#include "engine/acs/acs_model.h"

namespace hv::acs_test {

// A small character that uses every part of the file: two animations (one with branches, an
// exit index and all seven mouths), a raw, a compressed and an empty image, a sound, voice and
// balloon blocks, a 128-colour palette, a tray icon, two states and two languages.
[[nodiscard]] engine::acs::CharacterFile sampleCharacter();

} // namespace hv::acs_test
