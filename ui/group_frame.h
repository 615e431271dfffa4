#pragma once

#include <QGroupBox>

namespace kalvoran::ui {

// A frame with a caption, drawn as a plain one-pixel border so that its inside
// shows its own background colour. Styles such as Fusion paint a group box's
// panel from a translucent grey picture, which would tint the inside and show
// every opaque label in it as a patch.
class GroupFrame : public QGroupBox
{
    Q_OBJECT
public:
    GroupFrame(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace kalvoran::ui
