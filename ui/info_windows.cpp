#include "ui/info_windows.h"

#include "layout/ids.h"
#include "layout/info_layouts.h"

#include <QPushButton>

namespace kalvoran::ui {

MainWindow::MainWindow(QWidget *parent)
    : LayoutWindow(mainLayout(), parent)
{
    connect(control<QPushButton>(ids::main::kSiUnits), &QPushButton::clicked, this, &MainWindow::siUnitsRequested);
    connect(control<QPushButton>(ids::main::kBritishUnits), &QPushButton::clicked, this,
        &MainWindow::britishUnitsRequested);
    connect(control<QPushButton>(ids::main::kExit), &QPushButton::clicked, this, &MainWindow::exitRequested);
    connect(control<QPushButton>(ids::main::kAbout), &QPushButton::clicked, this, &MainWindow::aboutRequested);
}

FarewellWindow::FarewellWindow(QWidget *parent)
    : LayoutWindow(farewellLayout(), parent)
{
    connect(control<QPushButton>(ids::farewell::kEnd), &QPushButton::clicked, this, &FarewellWindow::endRequested);
}

AboutWindow::AboutWindow(QWidget *parent)
    : LayoutWindow(aboutLayout(), parent)
{
    connect(control<QPushButton>(ids::about::kOk), &QPushButton::clicked, this, &AboutWindow::okRequested);
}

} // namespace kalvoran::ui
