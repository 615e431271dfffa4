#pragma once

#include "ui/layout_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

// Lets GoogleTest print Qt strings readably in failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace kalvoran::testing {

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

    // Picks an entry of a combo box's list.
    void pick(std::string_view combo, const QString &entry)
    {
        auto *box = m_window.control<QComboBox>(combo);
        const int index = box->findText(entry, Qt::MatchExactly);
        ASSERT_GE(index, 0) << entry.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    void click(std::string_view button, int index = -1)
    {
        auto *target = m_window.control<QPushButton>(button, index);
        ASSERT_NE(target, nullptr) << button;
        QTest::mouseClick(target, Qt::LeftButton);
    }

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

} // namespace kalvoran::testing
