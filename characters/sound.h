#pragma once

#include <initializer_list>

#include <QByteArray>

// Short sound effects synthesised in code, as complete RIFF/WAVE files (mono, 16-bit PCM).
namespace hv::characters {

// A bell of `frequency` Hz struck `strikes` times, `interval` seconds apart.
[[nodiscard]] QByteArray ringingBell(double frequency, int strikes, double interval);
// Soft struck notes in Hz, one every `spacing` seconds, each left to ring out.
[[nodiscard]] QByteArray chime(std::initializer_list<double> notes, double spacing);

} // namespace hv::characters
