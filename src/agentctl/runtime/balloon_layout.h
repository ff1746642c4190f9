#pragma once

#include <QPoint>
#include <QRect>
#include <QStringList>

namespace agentctl::runtime {

// Breaks words into lines of at most charsPerLine characters; a longer word is cut.
[[nodiscard]] QStringList wrapWords(const QStringList& words, int charsPerLine);

struct BalloonGeometry
{
    // The body of the balloon, screen pixels.
    QRect body;
    // The tip of the tail, on the character's edge.
    QPoint tailTip;
    // Whether the body sits above the character (tail pointing down).
    bool above = true;
};

// Places a balloon body of `bodySize` beside `character`: above it when there is room on
// `screen`, otherwise below; moved sideways to stay on screen; the tail (tailLength pixels)
// points at the character's middle as far as the body's width allows.
[[nodiscard]] BalloonGeometry placeBalloon(QRect character, QSize bodySize, int tailLength,
                                           QRect screen);

} // namespace agentctl::runtime
