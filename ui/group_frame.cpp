#include "ui/group_frame.h"

#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace kalvoran::ui {

GroupFrame::GroupFrame(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
{ }

void GroupFrame::paintEvent(QPaintEvent * /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // The style draws the caption; the border is ours.
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);

    const QRect frame = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    // The Windows styles set the caption on the border's line: the border
    // stops either side of it, as a group box's does.
    if (!title().isEmpty())
        painter.setClipRegion(
            QRegion(rect()) - style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

} // namespace kalvoran::ui
