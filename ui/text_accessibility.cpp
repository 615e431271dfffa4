#include "ui/text_accessibility.h"

#include "ui/text_items.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace kalvoran::ui {

namespace {

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
        const QString value = type == QAccessible::Value ? edit()->displayText() : QString();
        return value.isEmpty() ? QAccessibleWidget::text(type) : value;
    }
    using TextAccessible::text;

    void setText(QAccessible::Text type, const QString &text) override
    {
        if (type == QAccessible::Value)
            edit()->setText(text);
        else
            QAccessibleWidget::setText(type, text);
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.readOnly = edit()->isReadOnly();
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

} // namespace

QAccessibleInterface *textAccessibleFor(QWidget *widget)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return new LineEditAccessible(edit);
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        return new PlainTextAccessible(edit);
    return nullptr;
}

} // namespace kalvoran::ui
