#include "ui/window_frame.h"

// On Windows Qt's own flags give each frame style natively: a tool window has
// the small caption and no task-bar entry, a dialog the fixed dialog frame.

namespace kalvoran::ui {

Qt::WindowFlags windowFlagsFor(layout::WindowFrame frame)
{
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    switch (frame) {
    case layout::WindowFrame::FixedToolWindow:
        return flags | Qt::Tool | Qt::MSWindowsFixedSizeDialogHint;
    case layout::WindowFrame::FixedDialog:
        return flags | Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint;
    case layout::WindowFrame::Sizable:
        break;
    }
    return flags | Qt::Window;
}

void applyFrameHints(QWidget & /*window*/, layout::WindowFrame /*frame*/)
{ }

} // namespace kalvoran::ui
