#include "ui/info_windows.h"

#include "layout/info_layouts.h"

namespace kalvoran::ui {

MainWindow::MainWindow(QWidget *parent)
    : LayoutWindow(layout::mainLayout(), parent)
{ }

FarewellWindow::FarewellWindow(QWidget *parent)
    : LayoutWindow(layout::farewellLayout(), parent)
{ }

AboutWindow::AboutWindow(QWidget *parent)
    : LayoutWindow(layout::aboutLayout(), parent)
{ }

} // namespace kalvoran::ui
