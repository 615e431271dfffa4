#include "ui/accessibility.h"

#include "ui/controls.h"
#include "ui/layout_window.h"
#include "ui/text_accessibility.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLoggingCategory>
#include <QPointer>
#include <QWindow>

namespace kalvoran::ui {

namespace {

Q_LOGGING_CATEGORY(lcAccessibility, "kalvoran.accessibility", QtWarningMsg)

// The interfaces of the program's own kinds of widget; Qt's for the rest.
QAccessibleInterface *accessibleFor(const QString & /*className*/, QObject *object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (QAccessibleInterface *text = textAccessibleFor(widget))
        return text;
    // The pictures take the focus, so they must say what they show.
    if (qobject_cast<PictureBox *>(widget) != nullptr)
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    // Screen readers read out a dialog's texts when it opens; of a plain
    // window, only its title.
    if (qobject_cast<LayoutWindow *>(widget) != nullptr)
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    return nullptr;
}

// A notice in a window that no widget stands for: screen readers present it
// when it is said to be showing, as a notification.
class Notice : public QAccessibleInterface
{
public:
    explicit Notice(QWidget *window)
        : m_window(window)
    { }

    void setMessage(const QString &message) { m_message = message; }

    [[nodiscard]] bool isValid() const override { return !m_window.isNull(); }
    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QWindow *window() const override { return m_window ? m_window->windowHandle() : nullptr; }
    [[nodiscard]] QAccessibleInterface *childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    // Under the application, not the window: a screen reader would read the
    // whole window out again, as the notice's surroundings, before it.
    [[nodiscard]] QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(qApp); }
    [[nodiscard]] QAccessibleInterface *child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface * /*child*/) const override { return -1; }
    [[nodiscard]] QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? m_message : QString();
    }
    void setText(QAccessible::Text /*type*/, const QString & /*text*/) override { }
    [[nodiscard]] QRect rect() const override { return {}; }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Notification; }
    [[nodiscard]] QAccessible::State state() const override { return {}; }

private:
    QPointer<QWidget> m_window;
    QString m_message;
};

// Workaround: Qt 6.4's AT-SPI bridge comes up some event-loop turns after the
// program starts (it asks the session bus where the accessibility bus is) and
// tells only the window activations it sees itself. On a busy machine the first
// window can be made active before then, and a screen reader then says nothing
// of it until the focus moves. So once the bridge is up, the active window is
// handed its activation again, as when a user switches back to it; with the
// bridge up before any window, there is none to hand. No Qt report found; can
// go once Qt's bridge tells of the window already active when it comes up.
class ActivationRetold : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        QPointer<QWidget> window = QApplication::activeWindow();
        if (!active || window.isNull())
            return;
        // The bridge is told before it opens its connection: a turn later it listens.
        QMetaObject::invokeMethod(
            qApp,
            [window] {
                if (window.isNull() || QApplication::activeWindow() != window)
                    return;
                qCDebug(lcAccessibility) << "the bridge came up after" << window->windowTitle()
                                         << "was made active: its activation is handed to it again";
                QApplication::setActiveWindow(nullptr);
                QApplication::setActiveWindow(window); // the focus goes back where it was
            },
            Qt::QueuedConnection);
    }
};

} // namespace

void installAccessibility()
{
    QAccessible::removeFactory(accessibleFor);
    QAccessible::installFactory(accessibleFor);
    static ActivationRetold retold;
    QAccessible::installActivationObserver(&retold); // once, however often it is called
}

Announcer::Announcer(QWidget *window)
    : m_window(window)
{ }

Announcer::~Announcer()
{
    if (m_notice)
        QAccessible::deleteAccessibleInterface(*m_notice);
}

void Announcer::announce(const QString &message)
{
    if (!QAccessible::isActive())
        return;
    if (!m_notice)
        m_notice = QAccessible::registerAccessibleInterface(new Notice(m_window));
    QAccessibleInterface *notice = QAccessible::accessibleInterface(*m_notice);
    if (notice == nullptr)
        return;
    static_cast<Notice *>(notice)->setMessage(message);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace kalvoran::ui
