#pragma once

#include <QString>
#include <QStringList>

#include "agentctl/acs/acs_model.h"

// Comparing two characters field by field, for the tests of the reader, the writer and the
// character generators.
namespace hv::test {

// Every field of a character as a line of text, images by their expanded pixels (alpha of the
// palette ignored, as the file ignores it), so a difference reads as the field that differs.
[[nodiscard]] QStringList describeCharacter(const agentctl::acs::CharacterFile& character);
// Empty when both describe the same character, else the first line that differs, both ways.
[[nodiscard]] QString firstDifference(const agentctl::acs::CharacterFile& actual,
                                      const agentctl::acs::CharacterFile& expected);

} // namespace hv::test
