#pragma once

#include "layout/layout.h"

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace kalvoran::ui {

// A straight line of one colour and pixel width, drawn across its own box.
class LineControl : public QWidget
{
    Q_OBJECT
public:
    LineControl(const layout::TwipsLine &line, layout::Rgb colour, int penWidth, QWidget *parent);

    // The line's end points in the parent's pixels.
    [[nodiscard]] QPoint from() const { return m_from; }
    [[nodiscard]] QPoint to() const { return m_to; }
    [[nodiscard]] QColor colour() const { return m_colour; }
    [[nodiscard]] int penWidth() const { return m_penWidth; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;
    QPoint m_to;
    QColor m_colour;
    int m_penWidth;
};

// A push button that Return and the keypad's Enter, with no other modifier,
// press as Space does when it has the focus. Never a default or auto-default
// button: styles draw those with a frame of their own.
class PushButton : public QPushButton
{
    Q_OBJECT
public:
    PushButton(const QString &caption, QWidget *parent);

protected:
    bool event(QEvent *event) override;
};

// Shows a picture unscaled from its top left corner, clipped to the box,
// inside a thin border. Takes the focus like the other tab stops.
class PictureBox : public QFrame
{
    Q_OBJECT
public:
    PictureBox(const QImage &picture, QWidget *parent);

    // A copy of the picture shown, for comparisons; the box itself draws the
    // image it was given, which for a stored picture is never copied.
    [[nodiscard]] QPixmap picture() const { return QPixmap::fromImage(m_picture); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

} // namespace kalvoran::ui
