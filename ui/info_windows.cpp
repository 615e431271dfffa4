#include "ui/info_windows.h"

#include "ui/ids.h"
#include "ui/info_layouts.h"

#include <QPushButton>

namespace kalvoran::ui {

namespace {

// What the pictures show, for those who cannot see them.
QString bannerName()
{
    return QStringLiteral("Banner: Kalvoran, hydraulic calculations for water piping");
}

QString sidePictureName()
{
    return QStringLiteral("Side picture: a pump lifting water up a pipe, past a pressure gauge, a gate valve and a "
                          "non-return valve");
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : LayoutWindow(mainLayout(), parent)
{
    connect(control<QPushButton>(ids::main::kSiUnits), &QPushButton::clicked, this, &MainWindow::siUnitsRequested);
    connect(control<QPushButton>(ids::main::kBritishUnits), &QPushButton::clicked, this,
        &MainWindow::britishUnitsRequested);
    connect(control<QPushButton>(ids::main::kExit), &QPushButton::clicked, this, &MainWindow::exitRequested);
    connect(control<QPushButton>(ids::main::kAbout), &QPushButton::clicked, this, &MainWindow::aboutRequested);
    // Controls that no label names get names of their own for screen readers.
    control(ids::main::kWebAddress)->setAccessibleName(QStringLiteral("Web address"));
    control(ids::main::kSidePicture)->setAccessibleName(sidePictureName());
    control(ids::main::kBanner)->setAccessibleName(bannerName());
}

FarewellWindow::FarewellWindow(QWidget *parent)
    : LayoutWindow(farewellLayout(), parent)
{
    connect(control<QPushButton>(ids::farewell::kEnd), &QPushButton::clicked, this, &FarewellWindow::endRequested);
    control(ids::farewell::kBanner)->setAccessibleName(bannerName());
}

AboutWindow::AboutWindow(QWidget *parent)
    : LayoutWindow(aboutLayout(), parent)
{
    connect(control<QPushButton>(ids::about::kOk), &QPushButton::clicked, this, &AboutWindow::okRequested);
    control(ids::about::kAboutText)->setAccessibleName(QStringLiteral("About the program"));
    control(ids::about::kBanner)->setAccessibleName(bannerName());
}

} // namespace kalvoran::ui
