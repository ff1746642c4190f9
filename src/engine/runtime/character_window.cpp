#include "engine/runtime/character_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace engine::runtime {

CharacterWindow::CharacterWindow(QSize size)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(size);
}

void CharacterWindow::showFrame(const QImage& frame, const QRegion& shape)
{
    m_frame = frame;
    // An empty mask would mean "no mask" and make the whole rectangle solid.
    setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
    update();
}

void CharacterWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_frame);
}

void CharacterWindow::mousePressEvent(QMouseEvent* event)
{
    if (!isOpaqueAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    m_pressed = true;
    m_dragging = false;
    m_pressPosition = event->globalPosition().toPoint();
    m_pressWindowPosition = pos();
}

void CharacterWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed) {
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - m_pressPosition;
    if (!m_dragging && delta.manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    m_dragging = true;
    move(m_pressWindowPosition + delta);
    emit dragged(m_pressWindowPosition + delta);
}

void CharacterWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed) {
        event->ignore();
        return;
    }
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    emit clicked(int(event->button()), int(event->modifiers()), event->globalPosition().toPoint());
}

void CharacterWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!isOpaqueAt(event->position().toPoint())) {
        event->ignore();
        return;
    }
    // Qt sends a release after this; it must not count as a second click.
    m_pressed = false;
    emit doubleClicked(int(event->button()), int(event->modifiers()),
                       event->globalPosition().toPoint());
}

bool CharacterWindow::isOpaqueAt(QPoint position) const
{
    return m_frame.valid(position) && qAlpha(m_frame.pixel(position)) != 0;
}

} // namespace engine::runtime
