#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QStringList>

class QFontMetrics;

namespace engine::acs {
struct BalloonInfo;
}

namespace engine::runtime {

// The balloon's font as the character gives it: a positive height is the cell height (the
// line's ascent and descent), a negative one the character height.
[[nodiscard]] QFont balloonFont(const acs::BalloonInfo& look);

// Breaks words into lines no wider than `width` pixels in `metrics`; a wider word is cut.
[[nodiscard]] QStringList wrapWords(const QStringList& words, const QFontMetrics& metrics,
                                    int width);

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

} // namespace engine::runtime
