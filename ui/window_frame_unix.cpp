#include "ui/window_frame.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace kalvoran::ui {

namespace {

struct FreeDeleter
{
    // xcb allocates its replies with malloc.
    void operator()(void *p) const { std::free(p); }
};

xcb_atom_t internAtom(xcb_connection_t *connection, std::string_view name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void setAtoms(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property, const xcb_atom_t *atoms,
    std::uint32_t count)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32, count, atoms);
}

} // namespace

// Tool windows and dialogs are plain top-level windows here, their type told
// through applyFrameHints().
// Workaround: Qt's xcb platform makes an ownerless Qt::Tool or Qt::Dialog
// transient for its hidden client leader (QXcbWindow::show), so window managers
// keep it above every window of the program, About included. By design in Qt,
// no upstream report; stays while Qt does so.
Qt::WindowFlags windowFlagsFor(layout::WindowFrame frame)
{
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (frame == layout::WindowFrame::FixedDialog)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    return flags;
}

// The window type (utility for a tool window, dialog for a fixed dialog), a
// window group of its own and, for a tool window, no task-bar entry.
void applyFrameHints(QWidget &window, layout::WindowFrame frame)
{
    // Only on the X11 platform: others (offscreen among them) may offer an X11
    // interface without a connection behind it.
    if (frame == layout::WindowFrame::Sizable || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());

    // A window type names the types it falls back to after itself.
    const bool tool = frame == layout::WindowFrame::FixedToolWindow;
    const std::array types{internAtom(connection, tool ? "_NET_WM_WINDOW_TYPE_UTILITY" : "_NET_WM_WINDOW_TYPE_DIALOG"),
        internAtom(connection, "_NET_WM_WINDOW_TYPE_NORMAL")};
    setAtoms(connection, id, internAtom(connection, "_NET_WM_WINDOW_TYPE"), types.data(), types.size());

    // Workaround: Metacity and Mutter keep a utility window or dialog that is
    // transient for nothing above its whole group (EWMH's group transient), and
    // Qt puts all of a program's windows in one group; so each such window leads
    // a group of its own. No upstream report: both follow EWMH. Stays.
    constexpr std::uint32_t windowGroupHint = 1U << 6;
    constexpr std::size_t flagsField = 0;
    constexpr std::size_t groupField = 8;
    std::array<std::uint32_t, 9> hints{};
    const xcb_get_property_cookie_t cookie
        = xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, hints.size());
    if (const std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(
            xcb_get_property_reply(connection, cookie, nullptr));
        reply && reply->format == 32) {
        const auto bytes = static_cast<std::size_t>(std::max(0, xcb_get_property_value_length(reply.get())));
        const std::size_t length = std::min(hints.size(), bytes / 4U);
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), length * 4U);
    }
    hints[flagsField] |= windowGroupHint;
    hints[groupField] = id;
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, hints.size(), hints.data());

    // The window is withdrawn here, so its states are ours to set; Qt adds its
    // own to them when it maps the window.
    if (tool) {
        const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
        setAtoms(connection, id, internAtom(connection, "_NET_WM_STATE"), &skipTaskbar, 1);
    }
}

} // namespace kalvoran::ui
