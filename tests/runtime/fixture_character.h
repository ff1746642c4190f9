#pragma once

#include "engine/acs/acs_model.h"

// A 32 x 32 character whose every frame is one solid colour with the left quarter see-through,
// so a test can tell which frame is on screen from one pixel (frameTag()).
namespace hv::runtime_test {

inline constexpr int SIZE = 32;
// Frame tags of the animations, in the order their frames play. The first frame of "Show" and
// the second of "Wave" start the character's one sound.
inline constexpr int SHOW_TAGS[] = {1, 2};
inline constexpr int REST_TAG = 6;
// "Loop": 7 and 8 repeat; asked to stop, either leaves through 9 and 10.
inline constexpr int LOOP_EXIT_TAGS[] = {9, 10};
inline constexpr int EXPLAIN_TAGS[] = {11, 12};
inline constexpr int EXPLAIN_RETURN_TAG = 13;
inline constexpr int WAVE_TAGS[] = {14, 15};
inline constexpr int IDLE_TAGS[] = {16, 17, 18};
inline constexpr int MOVE_LEFT_TAG = 19;
// The mouth overlay of shape s draws tag MOUTH_TAG + s over the rest pose.
inline constexpr int MOUTH_TAG = 20;
inline constexpr QRect MOUTH_RECT{12, 20, 8, 4};
// Every frame lasts 10 hundredths of a second.
inline constexpr int FRAME_MS = 100;

[[nodiscard]] engine::acs::CharacterFile testCharacter();
// The tag of the colour at a pixel, or -1 where it is see-through.
[[nodiscard]] int frameTag(QRgb pixel);

} // namespace hv::runtime_test
