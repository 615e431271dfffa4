#pragma once

#include "ui/layout_window.h"

namespace kalvoran::ui {

// The main window, Form1: announces which unit system the user picked, About
// and Exit; the program decides which window to show next.
class MainWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

signals:
    void siUnitsRequested();
    void britishUnitsRequested();
    void exitRequested();
    void aboutRequested();
};

// The farewell window, Form4: thanks the user, shows the maker's contact
// details and announces "End".
class FarewellWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit FarewellWindow(QWidget *parent = nullptr);

signals:
    void endRequested();
};

// The About window, Form5: the maker's notices and the developer credit, with
// "OK" announced.
class AboutWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

signals:
    void okRequested();
};

} // namespace kalvoran::ui
