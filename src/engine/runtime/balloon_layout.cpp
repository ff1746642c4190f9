#include "engine/runtime/balloon_layout.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>

#include "engine/acs/acs_model.h"

namespace engine::runtime {

namespace {

// Font heights a balloon accepts, in pixels.
constexpr int MIN_FONT_PIXELS = 6;
constexpr int MAX_FONT_PIXELS = 72;

// How many leading characters of `word` fit in `width`; at least one, so a line always moves
// on.
qsizetype fittingLength(const QString& word, const QFontMetrics& metrics, int width)
{
    qsizetype length = word.size();
    while (length > 1 && metrics.horizontalAdvance(word.left(length)) > width) {
        --length;
    }
    return length;
}

} // namespace

QFont balloonFont(const acs::BalloonInfo& look)
{
    QFont font(look.fontName);
    const int height = std::clamp(std::abs(look.fontHeight), MIN_FONT_PIXELS, MAX_FONT_PIXELS);
    font.setPixelSize(height);
    if (look.fontHeight > 0) {
        // The cell takes in the leading above the letters: scale the letters down to fit.
        const int cell = QFontMetrics(font).height();
        font.setPixelSize(
            std::max(MIN_FONT_PIXELS, int(std::lround(double(height) * height / cell))));
    }
    font.setWeight(QFont::Weight(std::clamp<int>(int(look.fontWeight), 100, 900)));
    font.setItalic(look.italic != 0);
    return font;
}

QStringList wrapWords(const QStringList& words, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    QString line;
    for (QString word : words) {
        while (metrics.horizontalAdvance(word) > width && word.size() > 1) {
            if (!line.isEmpty()) {
                lines.append(line);
                line.clear();
            }
            const qsizetype fits = fittingLength(word, metrics, width);
            lines.append(word.left(fits));
            word.remove(0, fits);
        }
        if (word.isEmpty()) {
            continue;
        }
        if (line.isEmpty()) {
            line = word;
        } else if (metrics.horizontalAdvance(line + QLatin1Char(' ') + word) <= width) {
            line += QLatin1Char(' ') + word;
        } else {
            lines.append(line);
            line = word;
        }
    }
    if (!line.isEmpty()) {
        lines.append(line);
    }
    return lines;
}

BalloonGeometry placeBalloon(QRect character, QSize bodySize, int tailLength, QRect screen)
{
    BalloonGeometry geometry;
    const int left = std::clamp(character.center().x() - bodySize.width() / 2, screen.left(),
                                std::max(screen.left(), screen.right() + 1 - bodySize.width()));
    int top = character.top() - tailLength - bodySize.height();
    geometry.above = top >= screen.top();
    if (!geometry.above) {
        top =
            std::min(character.bottom() + 1 + tailLength, screen.bottom() + 1 - bodySize.height());
    }
    geometry.body = QRect(QPoint(left, top), bodySize);
    // Keep the tail's root clear of the rounded corners.
    const int margin = std::min(bodySize.width() / 2, tailLength);
    const int tipX = std::clamp(character.center().x(), geometry.body.left() + margin,
                                geometry.body.right() - margin);
    geometry.tailTip = QPoint(tipX, geometry.above ? geometry.body.bottom() + 1 + tailLength
                                                   : geometry.body.top() - tailLength);
    return geometry;
}

} // namespace engine::runtime
