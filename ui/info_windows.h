#pragma once

#include "ui/layout_window.h"

namespace kalvoran::ui {

// The main window, Form1: the program's title, the two unit systems, About
// and Exit, and the maker's notices. Where its buttons lead is the program's
// to decide (layout/moves.h).
class MainWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
};

// The farewell window, Form4: thanks the user, shows the maker's contact
// details and "End".
class FarewellWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit FarewellWindow(QWidget *parent = nullptr);
};

// The About window, Form5: the maker's notices and the developer credit, and
// "OK".
class AboutWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);
};

} // namespace kalvoran::ui
