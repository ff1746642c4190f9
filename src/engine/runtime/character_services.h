#pragma once

#include <functional>

#include <QtGlobal>

namespace engine::speech {
class AudioMixer;
class Synthesizer;
} // namespace engine::speech

namespace engine::runtime {

class TimerSource;

// What a loaded character runs on. The engine owns all of it.
struct CharacterServices
{
    TimerSource* timers = nullptr;
    // Null: frame sounds are not played and Speak is paced without a voice.
    speech::AudioMixer* mixer = nullptr;
    // Null: Speak is paced without a voice.
    speech::Synthesizer* synthesizer = nullptr;
    quint32 seed = 0;
    // Hands out request identifiers, unique across the engine.
    std::function<int()> nextRequestId;
};

} // namespace engine::runtime
