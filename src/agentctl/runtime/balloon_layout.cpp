#include "agentctl/runtime/balloon_layout.h"

#include <algorithm>

namespace agentctl::runtime {

QStringList wrapWords(const QStringList& words, int charsPerLine)
{
    const int width = std::max(1, charsPerLine);
    QStringList lines;
    QString line;
    for (QString word : words) {
        while (word.size() > width) {
            if (!line.isEmpty()) {
                lines.append(line);
                line.clear();
            }
            lines.append(word.left(width));
            word.remove(0, width);
        }
        if (word.isEmpty()) {
            continue;
        }
        if (line.isEmpty()) {
            line = word;
        } else if (line.size() + 1 + word.size() <= width) {
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

} // namespace agentctl::runtime
