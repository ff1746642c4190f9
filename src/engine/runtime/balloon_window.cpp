#include "engine/runtime/balloon_window.h"

#include <algorithm>

#include <QBitmap>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "engine/acs/acs_model.h"

namespace engine::runtime {

namespace {

constexpr int PADDING = 6;
constexpr int TAIL_LENGTH = 14;
constexpr int TAIL_WIDTH = 12;
constexpr qreal CORNER_RADIUS = 8;

} // namespace

BalloonWindow::BalloonWindow(const acs::BalloonInfo& look, bool sizeToText)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      m_font(balloonFont(look)), m_text(acs::rgbFromColorRef(look.textColor)),
      m_fill(acs::rgbFromColorRef(look.fillColor)),
      m_border(acs::rgbFromColorRef(look.borderColor)), m_maxLines(std::max(1, int(look.lines))),
      m_charsPerLine(std::max(1, int(look.charsPerLine))), m_sizeToText(sizeToText)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BalloonWindow::showWords(const QStringList& words, QRect character, QRect screen)
{
    const QFontMetrics metrics(m_font);
    int textWidth = metrics.averageCharWidth() * m_charsPerLine;
    m_lines = wrapWords(words, metrics, textWidth);
    if (m_lines.size() > m_maxLines) {
        m_lines = m_lines.mid(m_lines.size() - m_maxLines);
    }
    int lineCount = m_maxLines;
    if (m_sizeToText) {
        textWidth = 0;
        for (const auto& line : std::as_const(m_lines)) {
            textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
        }
        lineCount = std::max<int>(1, int(m_lines.size()));
    }
    m_bodySize = QSize(textWidth + 2 * PADDING, lineCount * metrics.lineSpacing() + 2 * PADDING);
    place(character, screen);
    show();
}

void BalloonWindow::place(QRect character, QRect screen)
{
    m_geometry = placeBalloon(character, m_bodySize, TAIL_LENGTH, screen);
    const QRect window = m_geometry.body.united(QRect(m_geometry.tailTip, QSize(1, 1)));
    setGeometry(window);
    // From here on the geometry is in window coordinates.
    m_geometry.body.translate(-window.topLeft());
    m_geometry.tailTip -= window.topLeft();
    // Without a compositor a translucent window shows black where nothing is drawn; the window
    // is cut to the balloon's outline, border included, as the character's is to its picture.
    QBitmap shape(window.size());
    shape.fill(Qt::color0);
    QPainter cut(&shape);
    cut.setPen(QPen(Qt::color1, 1));
    cut.setBrush(Qt::color1);
    cut.drawPath(outline());
    cut.end();
    setMask(shape);
    update();
}

QPainterPath BalloonWindow::outline() const
{
    const QRectF body = QRectF(m_geometry.body).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath rounded;
    rounded.addRoundedRect(body, CORNER_RADIUS, CORNER_RADIUS);
    const qreal rootY = m_geometry.above ? body.bottom() - 1 : body.top() + 1;
    const qreal rootX = std::clamp<qreal>(m_geometry.tailTip.x(), body.left() + TAIL_WIDTH,
                                          body.right() - TAIL_WIDTH);
    QPainterPath tail;
    tail.moveTo(rootX - TAIL_WIDTH / 2.0, rootY);
    tail.lineTo(m_geometry.tailTip);
    tail.lineTo(rootX + TAIL_WIDTH / 2.0, rootY);
    tail.closeSubpath();
    return rounded.united(tail);
}

void BalloonWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_border, 1));
    painter.setBrush(m_fill);
    painter.drawPath(outline());

    painter.setFont(m_font);
    painter.setPen(m_text);
    const QFontMetrics metrics(m_font);
    int y = m_geometry.body.top() + PADDING + metrics.ascent();
    for (const auto& line : std::as_const(m_lines)) {
        painter.drawText(m_geometry.body.left() + PADDING, y, line);
        y += metrics.lineSpacing();
    }
}

} // namespace engine::runtime
