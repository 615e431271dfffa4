#pragma once

#include "ui/layout_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Lets GoogleTest print Qt strings readably in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace kalvoran::testing {

// A new window of kind W, made with these arguments: for tables of windows.
template<typename W, auto... arguments> std::unique_ptr<ui::LayoutWindow> makeWindow()
{
    return std::make_unique<W>(arguments...);
}

// Drives a window's controls as a user would, by name.
class UserActions
{
public:
    explicit UserActions(ui::LayoutWindow &window)
        : m_window(window)
    { }

    // Replaces a text box's or combo box's text by typing it.
    void type(std::string_view field, const QString &text)
    {
        QLineEdit *edit = lineEditOf(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    void pick(std::string_view combo, const QString &entry)
    {
        auto *box = m_window.control<QComboBox>(combo);
        const int index = box->findText(entry, Qt::MatchExactly);
        ASSERT_GE(index, 0) << entry.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    void click(layout::ControlRef button)
    {
        auto *target = m_window.control<QPushButton>(button);
        ASSERT_NE(target, nullptr) << ui::controlKey(button.name, button.index);
        QTest::mouseClick(target, Qt::LeftButton);
    }
    void click(std::string_view button, int index = -1) { click(layout::ControlRef{button, index}); }

    [[nodiscard]] QString text(std::string_view field) const
    {
        if (auto *combo = m_window.control<QComboBox>(field))
            return combo->currentText();
        return m_window.control<QLineEdit>(field)->text();
    }

    [[nodiscard]] QLineEdit *lineEditOf(std::string_view field) const
    {
        if (auto *combo = m_window.control<QComboBox>(field))
            return combo->lineEdit();
        return m_window.control<QLineEdit>(field);
    }

private:
    ui::LayoutWindow &m_window;
};

// The text a control shows, whatever its kind: a caption, a frame's title or
// the text in a text box.
inline QString shownText(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->title();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    return {};
}

} // namespace kalvoran::testing
