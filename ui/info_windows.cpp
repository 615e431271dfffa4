#include "ui/info_windows.h"

#include "ui/info_layouts.h"

#include <QPushButton>

namespace kalvoran::ui {

MainWindow::MainWindow(QWidget *parent)
    : LayoutWindow(mainLayout(), parent)
{
    connect(control<QPushButton>("Command1"), &QPushButton::clicked, this, &MainWindow::siUnitsRequested);
    connect(control<QPushButton>("Command2"), &QPushButton::clicked, this, &MainWindow::britishUnitsRequested);
    connect(control<QPushButton>("Command3"), &QPushButton::clicked, this, &MainWindow::exitRequested);
    connect(control<QPushButton>("Command4"), &QPushButton::clicked, this, &MainWindow::aboutRequested);
}

FarewellWindow::FarewellWindow(QWidget *parent)
    : LayoutWindow(farewellLayout(), parent)
{
    connect(control<QPushButton>("Command1"), &QPushButton::clicked, this, &FarewellWindow::endRequested);
}

AboutWindow::AboutWindow(QWidget *parent)
    : LayoutWindow(aboutLayout(), parent)
{
    connect(control<QPushButton>("Command1"), &QPushButton::clicked, this, &AboutWindow::okRequested);
}

} // namespace kalvoran::ui
