#pragma once

class QAccessibleInterface;
class QWidget;

// The text boxes' accessible interfaces, ours in place of Qt 6.4's, which a
// screen reader trips over in two places:
// - QAccessibleLineEdit::attributes answers an empty run at the offset, so no
//   character of a line edit has a look;
// - the line edit's word and sentence queries are QAccessibleTextInterface's
//   defaults, whose textAtOffset loops `while (boundary.toNextBoundary() <
//   length)`: at the end of the text the finder answers -1, which is less, and
//   the loop never ends: the word at the end of a text, where the caret
//   stands after typing, hangs the program.
// QAccessiblePlainTextEdit does not take those defaults (it answers through
// QTextCursor), but has faults of its own: offset -1, the end of the text, is
// answered at the caret; the item before the first and after the last is the
// first or last one again instead of none; its attribute runs are one a
// paragraph, and there is none in an empty box. Ours answers both kinds of box
// from their plain text alike.
//
// Remove this file once Qt's own interfaces no longer do any of that: with
// textAccessibleFor() left out of the factory, the TextQueries tests
// (tests/ui/accessibility_test.cpp) and e2e.text_queries must pass.

namespace kalvoran::ui {

// Our interface for a QLineEdit (a combo box's edit field included) or a
// QPlainTextEdit; nullptr for any other widget.
[[nodiscard]] QAccessibleInterface *textAccessibleFor(QWidget *widget);

} // namespace kalvoran::ui
