#pragma once

#include <QString>

#include "engine/acs/acs_model.h"

namespace hv::test {

// Empty when two characters hold the same fields, images compared by their expanded pixels;
// else the first field that differs, both ways, so a failure names what was lost.
[[nodiscard]] QString firstDifference(const engine::acs::CharacterFile& actual,
                                      const engine::acs::CharacterFile& expected);

} // namespace hv::test
