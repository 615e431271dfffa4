#pragma once

#include "layout/layout.h"

#include <QWidget>

#include <map>
#include <string>
#include <string_view>

namespace kalvoran::ui {

// A top-level window built from its layout table: frame, caption, client
// size, white background, icon, every control at its box, the Tab order and
// the first focus. Its client area opens centred on the display the first time
// it is shown, and comes back where it was hidden after that. A close request
// from the window frame is not obeyed directly; it is announced through
// closeRequested() for the program to decide.
class LayoutWindow : public QWidget
{
    Q_OBJECT
public:
    explicit LayoutWindow(const layout::WindowLayout &layout, QWidget *parent = nullptr);

    // The control of a table row, or nullptr.
    [[nodiscard]] QWidget *control(std::string_view name, int index = -1) const;
    template<typename T> [[nodiscard]] T *control(std::string_view name, int index = -1) const
    {
        return qobject_cast<T *>(control(name, index));
    }
    template<typename T = QWidget> [[nodiscard]] T *control(layout::ControlRef ref) const
    {
        return qobject_cast<T *>(control(ref.name, ref.index));
    }

    void setVisible(bool visible) override;

signals:
    // The window frame or the window system asked to close this window.
    void closeRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *createControl(const layout::Control &row, QWidget *parent);
    void applyTabOrder();

    const layout::WindowLayout &m_layout;
    std::map<std::string, QWidget *, std::less<>> m_controls;
    bool m_shownBefore = false;
    // Top left of the client area, in global pixels, when it was last hidden.
    QPoint m_hiddenAt;
};

// The key under which a control is kept: its name, and "(index)" for an
// element of a control array.
[[nodiscard]] std::string controlKey(std::string_view name, int index);

// A layout table's UTF-8 text as a QString.
[[nodiscard]] QString toQString(std::string_view text);

// A box of a layout table in pixels.
[[nodiscard]] QRect toPixels(const layout::TwipsBox &box);

// The program's window icon, shared by every window.
[[nodiscard]] QIcon windowIcon();

} // namespace kalvoran::ui
