#pragma once

#include "ui/layout.h"

#include <QFrame>
#include <QPixmap>
#include <QWidget>

namespace kalvoran::ui {

// A straight line of one colour and pixel width, drawn across its own box.
class LineControl : public QWidget
{
    Q_OBJECT
public:
    LineControl(const TwipsLine &line, Rgb colour, int penWidth, QWidget *parent);

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

// Shows a picture unscaled from its top left corner, clipped to the box,
// inside a thin border. Takes the focus like the other tab stops.
class PictureBox : public QFrame
{
    Q_OBJECT
public:
    PictureBox(const QPixmap &picture, QWidget *parent);

    [[nodiscard]] const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

} // namespace kalvoran::ui
