#include "ui/accessibility.h"

#include "ui/controls.h"
#include "ui/layout_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QValidator>
#include <QWindow>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace kalvoran::ui {

namespace {

// The offsets from `start` up to, not including, `end`.
struct TextRange
{
    int start = 0;
    int end = 0;
};

// The items of one kind (characters, words, lines, ...) that a text divides
// into, known by where each starts: ascending, the first at 0. A start at the
// very end stands for an empty last item, such as the line after a final line
// break or the character at the end of the text.
class TextItems
{
public:
    TextItems(std::vector<int> starts, int length)
        : m_starts(std::move(starts))
        , m_length(length)
    { }

    // The item that holds `offset`; at the end of the text, the last item.
    [[nodiscard]] TextRange at(int offset) const
    {
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
        return {*std::prev(next), next == m_starts.end() ? m_length : *next};
    }

    // The item before the one that holds `offset`; empty at the start.
    [[nodiscard]] TextRange before(int offset) const
    {
        const TextRange item = at(offset);
        return item.start == 0 ? TextRange{} : at(item.start - 1);
    }

    // The item after the one that holds `offset`; empty at the end.
    [[nodiscard]] TextRange after(int offset) const
    {
        const TextRange item = at(offset);
        return item.end >= m_length ? TextRange{m_length, m_length} : at(item.end);
    }

private:
    std::vector<int> m_starts;
    int m_length;
};

int lengthOf(const QString &text)
{
    return static_cast<int>(text.size());
}

// Where Unicode's rules start graphemes, words or sentences. Each step of the
// finder moves forward, so the walk ends within the length of the text.
std::vector<int> unicodeStarts(QTextBoundaryFinder::BoundaryType type, const QString &text)
{
    std::vector<int> starts{0};
    QTextBoundaryFinder finder(type, text);
    qsizetype previous = 0;
    for (qsizetype at = finder.toNextBoundary(); at > previous && at < text.size(); at = finder.toNextBoundary()) {
        previous = at;
        // A word runs from its own start to the next word's, spaces included.
        if (type != QTextBoundaryFinder::Word || finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem))
            starts.push_back(static_cast<int>(at));
    }
    return starts;
}

std::vector<int> paragraphStarts(const QString &text)
{
    std::vector<int> starts{0};
    for (int i = 0; i < lengthOf(text); ++i) {
        if (text.at(i) == u'\n')
            starts.push_back(i + 1);
    }
    return starts;
}

QString rgb(const QColor &colour)
{
    return QStringLiteral("rgb(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// A text box's look as text attributes, "name:value;" each. No value is empty
// or holds ':' or ';': Qt's bridge to the screen reader splits at those.
QString lookOf(const QWidget &box)
{
    const QFont &font = box.font();
    QString family = font.family();
    family.remove(u':').remove(u';');
    QString look = family.isEmpty() ? QString() : QStringLiteral("font-family:%1;").arg(family);
    if (font.pointSize() > 0)
        look += QStringLiteral("font-size:%1pt;").arg(font.pointSize());
    if (font.bold())
        look += QStringLiteral("font-weight:bold;");
    look += font.italic() ? QStringLiteral("font-style:italic;") : QStringLiteral("font-style:normal;");
    const QPalette &palette = box.palette();
    return look
        + QStringLiteral("color:%1;background-color:%2;")
              .arg(rgb(palette.color(QPalette::Text)), rgb(palette.color(QPalette::Base)));
}

// Answers a screen reader's text queries from the plain text a widget shows,
// at every offset from 0 to the length inclusive and for every kind of item.
// Offset -2 is the caret and -1 the end, as the accessibility API has it.
class TextAccessible : public QAccessibleWidget,
                       public QAccessibleTextInterface,
                       public QAccessibleEditableTextInterface
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    using QAccessibleWidget::text;

    [[nodiscard]] QString text(int startOffset, int endOffset) const override
    {
        const QString shown = plainText();
        startOffset = std::clamp(startOffset, 0, lengthOf(shown));
        endOffset = std::clamp(endOffset, startOffset, lengthOf(shown));
        return shown.mid(startOffset, endOffset - startOffset);
    }

    [[nodiscard]] int characterCount() const override { return lengthOf(plainText()); }

    [[nodiscard]] QString textBeforeOffset(
        int offset, QAccessible::TextBoundaryType boundary, int *startOffset, int *endOffset) const override
    {
        return itemText(offset, boundary, &TextItems::before, startOffset, endOffset);
    }

    [[nodiscard]] QString textAtOffset(
        int offset, QAccessible::TextBoundaryType boundary, int *startOffset, int *endOffset) const override
    {
        return itemText(offset, boundary, &TextItems::at, startOffset, endOffset);
    }

    [[nodiscard]] QString textAfterOffset(
        int offset, QAccessible::TextBoundaryType boundary, int *startOffset, int *endOffset) const override
    {
        return itemText(offset, boundary, &TextItems::after, startOffset, endOffset);
    }

    // The text has one look throughout: one run, with the widget's font and
    // colours.
    [[nodiscard]] QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        const int length = characterCount();
        offset = resolved(offset, length);
        if (offset < 0 || offset > length) {
            *startOffset = *endOffset = -1;
            return {};
        }
        *startOffset = 0;
        *endOffset = length;
        return lookOf(*widget());
    }

    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }

protected:
    // The text as shown, one character per offset.
    [[nodiscard]] virtual QString plainText() const = 0;
    // Where each line starts as laid out on the screen.
    [[nodiscard]] virtual std::vector<int> lineStarts() const = 0;

private:
    [[nodiscard]] int resolved(int offset, int length) const
    {
        if (offset == -2)
            return cursorPosition();
        return offset == -1 ? length : offset;
    }

    [[nodiscard]] TextItems items(QAccessible::TextBoundaryType boundary, const QString &shown) const
    {
        const int length = lengthOf(shown);
        switch (boundary) {
        case QAccessible::CharBoundary: {
            std::vector<int> starts = unicodeStarts(QTextBoundaryFinder::Grapheme, shown);
            if (length > 0)
                starts.push_back(length); // the empty character at the end
            return {std::move(starts), length};
        }
        case QAccessible::WordBoundary:
            return {unicodeStarts(QTextBoundaryFinder::Word, shown), length};
        case QAccessible::SentenceBoundary:
            return {unicodeStarts(QTextBoundaryFinder::Sentence, shown), length};
        case QAccessible::ParagraphBoundary:
            return {paragraphStarts(shown), length};
        case QAccessible::LineBoundary:
            return {lineStarts(), length};
        case QAccessible::NoBoundary:
            break;
        }
        return {{0}, length};
    }

    QString itemText(int offset, QAccessible::TextBoundaryType boundary, TextRange (TextItems::*which)(int) const,
        int *startOffset, int *endOffset) const
    {
        const QString shown = plainText();
        offset = resolved(offset, lengthOf(shown));
        if (offset < 0 || offset > lengthOf(shown)) {
            *startOffset = *endOffset = -1;
            return {};
        }
        const TextRange range = (items(boundary, shown).*which)(offset);
        *startOffset = range.start;
        *endOffset = range.end;
        return shown.mid(range.start, range.end - range.start);
    }
};

// A single-line text box, the edit field of an editable combo box included;
// otherwise as Qt's own line edit interface.
class LineEditAccessible : public TextAccessible
{
public:
    explicit LineEditAccessible(QLineEdit *edit)
        : TextAccessible(edit, QAccessible::EditableText)
    {
        addControllingSignal(QStringLiteral("textChanged(const QString&)"));
        addControllingSignal(QStringLiteral("returnPressed()"));
    }

    [[nodiscard]] QString text(QAccessible::Text type) const override
    {
        QString value = type == QAccessible::Value ? edit()->displayText() : QString();
        if (value.isEmpty())
            value = QAccessibleWidget::text(type);
        if (value.isEmpty() && type == QAccessible::Description)
            value = edit()->placeholderText();
        return value;
    }
    using TextAccessible::text;

    void setText(QAccessible::Text type, const QString &text) override
    {
        if (type != QAccessible::Value) {
            QAccessibleWidget::setText(type, text);
            return;
        }
        QString accepted = text;
        if (const QValidator *validator = edit()->validator()) {
            int position = 0;
            if (validator->validate(accepted, position) != QValidator::Acceptable)
                return;
        }
        edit()->setText(accepted);
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = edit()->isReadOnly();
        state.passwordEdit = edit()->echoMode() != QLineEdit::Normal;
        state.selectableText = true;
        return state;
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0)
            return;
        *startOffset = edit()->selectionStart();
        *endOffset = *startOffset + lengthOf(edit()->selectedText());
    }
    [[nodiscard]] int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            edit()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            edit()->setSelection(startOffset, endOffset - startOffset);
    }

    [[nodiscard]] int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }

    // Measured from the caret, the one place in the text that the line edit
    // tells, so that a scrolled text is measured where it is shown.
    [[nodiscard]] QRect characterRect(int offset) const override
    {
        const QString shown = plainText();
        if (offset < 0 || offset >= lengthOf(shown))
            return {};
        const QFontMetrics metrics(edit()->font());
        const QRect caret = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = caret.center().x() + metrics.horizontalAdvance(shown.left(offset))
            - metrics.horizontalAdvance(shown.left(edit()->cursorPosition()));
        return {edit()->mapToGlobal(QPoint(x, caret.top())),
            QSize(metrics.horizontalAdvance(shown.at(offset)), metrics.height())};
    }

    [[nodiscard]] int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        edit()->setCursorPosition(endIndex);
        edit()->setCursorPosition(startIndex);
    }

    void deleteText(int startOffset, int endOffset) override
    {
        edit()->setText(edit()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString &text) override { edit()->setText(edit()->text().insert(offset, text)); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        edit()->setText(edit()->text().replace(startOffset, endOffset - startOffset, text));
    }

protected:
    [[nodiscard]] QString plainText() const override { return edit()->displayText(); }
    [[nodiscard]] std::vector<int> lineStarts() const override { return {0}; }

private:
    [[nodiscard]] QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
};

// A multi-line text box; otherwise as Qt's own plain text edit interface.
class PlainTextAccessible : public TextAccessible
{
public:
    explicit PlainTextAccessible(QPlainTextEdit *edit)
        : TextAccessible(edit, QAccessible::EditableText)
    { }

    [[nodiscard]] QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? edit()->toPlainText() : QAccessibleWidget::text(type);
    }
    using TextAccessible::text;

    void setText(QAccessible::Text type, const QString &text) override
    {
        if (type != QAccessible::Value)
            QAccessibleWidget::setText(type, text);
        else if (!edit()->isReadOnly())
            edit()->setPlainText(text);
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.multiLine = true;
        state.selectableText = true;
        state.readOnly = edit()->isReadOnly();
        state.editable = !edit()->isReadOnly();
        return state;
    }

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        const QTextCursor cursor = edit()->textCursor();
        if (selectionIndex != 0 || !cursor.hasSelection())
            return;
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
    [[nodiscard]] int selectionCount() const override { return edit()->textCursor().hasSelection() ? 1 : 0; }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex != 0)
            return;
        QTextCursor cursor = edit()->textCursor();
        cursor.clearSelection();
        edit()->setTextCursor(cursor);
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            edit()->setTextCursor(cursorFor(startOffset, endOffset));
    }

    [[nodiscard]] int cursorPosition() const override { return edit()->textCursor().position(); }
    void setCursorPosition(int position) override { edit()->setTextCursor(cursorFor(position, position)); }

    [[nodiscard]] QRect characterRect(int offset) const override
    {
        const QString shown = plainText();
        if (offset < 0 || offset >= lengthOf(shown))
            return {};
        const QRect caret = edit()->cursorRect(cursorFor(offset, offset));
        const int width = QFontMetrics(edit()->font()).horizontalAdvance(shown.at(offset));
        return {edit()->viewport()->mapToGlobal(caret.topLeft()), QSize(width, caret.height())};
    }

    [[nodiscard]] int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorForPosition(edit()->viewport()->mapFromGlobal(point)).position();
    }

    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override { }

    void deleteText(int startOffset, int endOffset) override { cursorFor(startOffset, endOffset).removeSelectedText(); }
    void insertText(int offset, const QString &text) override { cursorFor(offset, offset).insertText(text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        QTextCursor cursor = cursorFor(startOffset, endOffset);
        cursor.removeSelectedText();
        cursor.insertText(text);
    }

protected:
    [[nodiscard]] QString plainText() const override { return edit()->toPlainText(); }

    // The lines as wrapped on the screen; a paragraph not laid out yet counts
    // as one line. The empty paragraph after a final line break starts at the
    // end of the text.
    [[nodiscard]] std::vector<int> lineStarts() const override
    {
        std::vector<int> starts;
        for (QTextBlock block = edit()->document()->begin(); block.isValid(); block = block.next()) {
            starts.push_back(block.position());
            if (const QTextLayout *layout = block.layout()) {
                for (int i = 1; i < layout->lineCount(); ++i)
                    starts.push_back(block.position() + layout->lineAt(i).textStart());
            }
        }
        return starts; // a document has a first paragraph, at 0, even when empty
    }

private:
    [[nodiscard]] QPlainTextEdit *edit() const { return static_cast<QPlainTextEdit *>(widget()); }

    [[nodiscard]] QTextCursor cursorFor(int anchor, int position) const
    {
        QTextCursor cursor = edit()->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        return cursor;
    }
};

// The interfaces of the program's own kinds of widget; Qt's for the rest.
QAccessibleInterface *accessibleFor(const QString & /*className*/, QObject *object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->objectName() == QLatin1String("qt_spinbox_lineedit") ? nullptr : new LineEditAccessible(edit);
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        return new PlainTextAccessible(edit);
    // The pictures take the focus, so they must say what they show.
    if (qobject_cast<PictureBox *>(widget) != nullptr)
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    // Screen readers read out a dialog's texts when it opens; of a plain
    // window, only its title.
    if (qobject_cast<LayoutWindow *>(widget) != nullptr)
        return new QAccessibleWidget(widget, QAccessible::Dialog);
    return nullptr;
}

// Makes Return and Enter press the focused push button as Space does, by
// handing the button a Space key instead. Buttons that are their dialog's
// default, such as a message box's OK, keep Qt's own handling of Return.
class ReturnPressesButtons : public QObject
{
public:
    explicit ReturnPressesButtons(QObject *parent)
        : QObject(parent)
    {
        setObjectName(name());
    }

    static QString name() { return QStringLiteral("kalvoran_return_presses_buttons"); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (button == nullptr || button->autoDefault() || button->isDefault())
            return false;
        QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), key->isAutoRepeat());
        QCoreApplication::sendEvent(button, &space);
        return true;
    }
};

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

// Owns a window's notice for as long as the window lives.
class Announcer : public QObject
{
public:
    explicit Announcer(QWidget *window)
        : QObject(window)
        , m_notice(QAccessible::registerAccessibleInterface(new Notice(window)))
    {
        setObjectName(name());
    }
    ~Announcer() override { QAccessible::deleteAccessibleInterface(m_notice); }
    Announcer(const Announcer &) = delete;
    Announcer &operator=(const Announcer &) = delete;

    static QString name() { return QStringLiteral("kalvoran_announcer"); }

    void announce(const QString &message)
    {
        QAccessibleInterface *notice = QAccessible::accessibleInterface(m_notice);
        if (notice == nullptr)
            return;
        static_cast<Notice *>(notice)->setMessage(message);
        QAccessibleEvent shown(notice, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

private:
    QAccessible::Id m_notice;
};

} // namespace

void installAccessibility()
{
    QAccessible::removeFactory(accessibleFor);
    QAccessible::installFactory(accessibleFor);
    if (qApp->findChild<QObject *>(ReturnPressesButtons::name(), Qt::FindDirectChildrenOnly) == nullptr)
        qApp->installEventFilter(new ReturnPressesButtons(qApp));
}

void announce(QWidget *window, const QString &message)
{
    if (window == nullptr || !QAccessible::isActive())
        return;
    auto *announcer
        = static_cast<Announcer *>(window->findChild<QObject *>(Announcer::name(), Qt::FindDirectChildrenOnly));
    if (announcer == nullptr)
        announcer = new Announcer(window);
    announcer->announce(message);
}

} // namespace kalvoran::ui
