#pragma once

namespace hv::characters {

// One drawing of a character, as the choreography describes it. Every character reads the same
// fields in its own way (Tock's arms are arms, Olwen's are wings), so one script animates both.
struct Pose
{
    // Body offset in pixels and uniform scale about the point between the feet.
    float dx = 0;
    float dy = 0;
    float scale = 1;
    // Positive squashes (wider, shorter), negative stretches; about 0.15 at most.
    float squash = 0;
    // Lean in degrees about the feet, positive leans to the right of the screen.
    float tilt = 0;
    // 1 open, 0 shut.
    float eyeOpen = 1;
    // Pupils, -1..1 each; positive x looks to the right of the screen, positive y down.
    float lookX = 0;
    float lookY = 0;
    // 1 raised in surprise, -1 lowered (sleepy or stern).
    float brow = 0;
    // Arm lift in degrees for the arm on the left and right of the screen: 0 hangs down, 90 is
    // straight out, 160 is raised high.
    float armLeft = 0;
    float armRight = 0;
    // Extra swing of the hands in degrees, for waving.
    float wave = 0;
    // Curve of the closed mouth, 0 neutral, 1 broad smile.
    float smile = 0;
    // Each character's flourish: Tock's bells shake, Olwen's wings flutter. -1..1.
    float ring = 0;
    // Above 0.5 the eyes close into happy upward curves.
    float glee = 0;
    // Sleep marks floating up, 0 none .. 1 all three.
    float snooze = 0;
    // Mouth shape 0..6 in the order of the file's mouth overlay types.
    int mouth = 0;
};

[[nodiscard]] inline bool operator==(const Pose& a, const Pose& b)
{
    return a.dx == b.dx && a.dy == b.dy && a.scale == b.scale && a.squash == b.squash &&
           a.tilt == b.tilt && a.eyeOpen == b.eyeOpen && a.lookX == b.lookX && a.lookY == b.lookY &&
           a.brow == b.brow && a.armLeft == b.armLeft && a.armRight == b.armRight &&
           a.wave == b.wave && a.smile == b.smile && a.ring == b.ring && a.glee == b.glee &&
           a.snooze == b.snooze && a.mouth == b.mouth;
}

[[nodiscard]] inline float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

[[nodiscard]] inline Pose lerp(const Pose& a, const Pose& b, float t)
{
    Pose p;
    p.dx = lerp(a.dx, b.dx, t);
    p.dy = lerp(a.dy, b.dy, t);
    p.scale = lerp(a.scale, b.scale, t);
    p.squash = lerp(a.squash, b.squash, t);
    p.tilt = lerp(a.tilt, b.tilt, t);
    p.eyeOpen = lerp(a.eyeOpen, b.eyeOpen, t);
    p.lookX = lerp(a.lookX, b.lookX, t);
    p.lookY = lerp(a.lookY, b.lookY, t);
    p.brow = lerp(a.brow, b.brow, t);
    p.armLeft = lerp(a.armLeft, b.armLeft, t);
    p.armRight = lerp(a.armRight, b.armRight, t);
    p.wave = lerp(a.wave, b.wave, t);
    p.smile = lerp(a.smile, b.smile, t);
    p.ring = lerp(a.ring, b.ring, t);
    p.glee = lerp(a.glee, b.glee, t);
    p.snooze = lerp(a.snooze, b.snooze, t);
    p.mouth = t < 0.5f ? a.mouth : b.mouth;
    return p;
}

} // namespace hv::characters
