#pragma once

#include <QString>

#include "agentctl/acs/acs_model.h"

namespace hv::test {

// Empty when two characters hold the same fields, images compared by their expanded pixels;
// else the first field that differs, both ways, so a failure names what was lost.
[[nodiscard]] QString firstDifference(const agentctl::acs::CharacterFile& actual,
                                      const agentctl::acs::CharacterFile& expected);

} // namespace hv::test
