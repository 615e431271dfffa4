#include "ui/controls.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace kalvoran::ui {

LineControl::LineControl(const layout::TwipsLine &line, layout::Rgb colour, int penWidth, QWidget *parent)
    : QWidget(parent)
    , m_from(layout::toPixels(line.x1), layout::toPixels(line.y1))
    , m_to(layout::toPixels(line.x2), layout::toPixels(line.y2))
    , m_colour(colour.r, colour.g, colour.b)
    , m_penWidth(penWidth)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The box holds the whole pen, which is centred on the line.
    const int half = penWidth / 2;
    const QRect box(QPoint(std::min(m_from.x(), m_to.x()) - half, std::min(m_from.y(), m_to.y()) - half),
        QPoint(std::max(m_from.x(), m_to.x()) + half, std::max(m_from.y(), m_to.y()) + half));
    setGeometry(box);
}

void LineControl::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.setPen(QPen(m_colour, m_penWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_from - pos(), m_to - pos());
}

namespace {

// Return or Enter with no modifier but the keypad's.
bool isReturn(const QKeyEvent &event)
{
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        && (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

PushButton::PushButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setAutoDefault(false);
    setDefault(false);
}

bool PushButton::event(QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QPushButton::event(event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (!isReturn(*key))
        return QPushButton::event(event);
    QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), key->isAutoRepeat());
    return QPushButton::event(&space);
}

PictureBox::PictureBox(const QImage &picture, QWidget *parent)
    : QFrame(parent)
    , m_picture(picture)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    painter.drawImage(inside.topLeft(), m_picture);
}

} // namespace kalvoran::ui
