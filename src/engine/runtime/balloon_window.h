#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QStringList>
#include <QWidget>

#include "engine/runtime/balloon_layout.h"

namespace engine::acs {
struct BalloonInfo;
}

namespace engine::runtime {

// The word balloon: a window of its own beside the character, in the character's font and
// colours, holding its number of lines of its number of characters. Clicks go through it.
class BalloonWindow final : public QWidget
{
    Q_OBJECT

public:
    BalloonWindow(const acs::BalloonInfo& look, bool sizeToText);

    // Shows the last lines of `words` beside `character` (screen pixels), on `screen`.
    void showWords(const QStringList& words, QRect character, QRect screen);
    // Keeps the balloon beside a character that has moved.
    void place(QRect character, QRect screen);
    [[nodiscard]] QStringList visibleLines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The body and its tail, in window coordinates.
    [[nodiscard]] QPainterPath outline() const;

    QFont m_font;
    QColor m_text;
    QColor m_fill;
    QColor m_border;
    int m_maxLines = 1;
    int m_charsPerLine = 1;
    bool m_sizeToText = false;
    QStringList m_lines;
    QSize m_bodySize;
    BalloonGeometry m_geometry;
};

} // namespace engine::runtime
