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
    // Controls that no label names get names of their own for screen readers.
    control("Text1")->setAccessibleName(QStringLiteral("Web address"));
    control("Picture1", 0)->setAccessibleName(QStringLiteral("Side picture"));
    control("Picture1", 1)->setAccessibleName(QStringLiteral("Banner"));
}

FarewellWindow::FarewellWindow(QWidget *parent)
    : LayoutWindow(farewellLayout(), parent)
{
    connect(control<QPushButton>("Command1"), &QPushButton::clicked, this, &FarewellWindow::endRequested);
    control("Picture1")->setAccessibleName(QStringLiteral("Banner"));
}

AboutWindow::AboutWindow(QWidget *parent)
    : LayoutWindow(aboutLayout(), parent)
{
    connect(control<QPushButton>("Command1"), &QPushButton::clicked, this, &AboutWindow::okRequested);
    control("Text1")->setAccessibleName(QStringLiteral("About the program"));
    control("Picture1")->setAccessibleName(QStringLiteral("Banner"));
}

} // namespace kalvoran::ui
