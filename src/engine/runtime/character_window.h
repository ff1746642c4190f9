#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace engine::runtime {

// The character on the desktop: frameless, always on top, no task-bar entry, see-through and
// shaped to the frame's opaque pixels so that clicks on empty pixels reach what lies below.
// The user can drag it with any button.
class CharacterWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(QSize size);

    // `shape` is the opaque part of `frame`, in window coordinates.
    void showFrame(const QImage& frame, const QRegion& shape);

signals:
    // button: Qt::MouseButton; modifiers: Qt::KeyboardModifiers; position in screen pixels.
    void clicked(int button, int modifiers, QPoint globalPosition);
    void doubleClicked(int button, int modifiers, QPoint globalPosition);
    // The user is dragging the window; it is on its way to topLeft (the window system may not
    // have reported the move yet).
    void dragged(QPoint topLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The mask already filters clicks on a real desktop; this check also covers platforms
    // without window shapes and events delivered straight to the widget.
    [[nodiscard]] bool isOpaqueAt(QPoint position) const;

    QImage m_frame;
    QPoint m_pressPosition;
    QPoint m_pressWindowPosition;
    bool m_pressed = false;
    bool m_dragging = false;
};

} // namespace engine::runtime
