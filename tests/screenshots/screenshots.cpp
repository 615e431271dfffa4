// Writes a PNG of each of the five windows as a user meets them, the two
// calculation windows after a worked run, into the folder named on the
// command line. Run it through scripts/screenshots, under Xvfb.

#include "app/program.h"
#include "support/ui_helpers.h"
#include "ui/layout_window.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using kalvoran::app::Program;
using kalvoran::app::Screen;
using kalvoran::testing::UserActions;

namespace {

bool save(const Program &program, Screen screen, const QDir &folder, const QString &file)
{
    QWidget *window = program.window(screen);
    QApplication::processEvents();
    const bool ok = window != nullptr && window->grab().save(folder.filePath(file));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(folder.filePath(file)));
    return ok;
}

void fill(
    UserActions &user, const QString &c, const QString &d, const std::vector<std::pair<std::string, QString>> &typed)
{
    user.pick("C", c);
    user.pick("D", d);
    for (const auto &[field, text] : typed)
        user.type(field, text);
    user.click("Command1");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    Program program;
    program.setQuit([](int) {});
    if (!program.start())
        return 1;
    bool ok = save(program, Screen::Main, folder, "main.png");

    UserActions(*program.window(Screen::Main)).click("Command4");
    ok = save(program, Screen::About, folder, "about.png") && ok;
    UserActions(*program.window(Screen::About)).click("Command1");

    UserActions(*program.window(Screen::Main)).click("Command1");
    UserActions si(*program.window(Screen::Si));
    fill(si, "120", "50", {{"L", "10"}, {"Q", "500"}, {"Tf", "1"}, {"Ef", "2"}, {"hight", "5"}, {"RP", "1"}});
    ok = save(program, Screen::Si, folder, "si.png") && ok;

    UserActions(*program.window(Screen::Si)).click("Command3");
    UserActions(*program.window(Screen::Main)).click("Command2");
    UserActions british(*program.window(Screen::British));
    fill(british, "120", "2",
        {{"L", "100"}, {"Q", "50"}, {"Tf", "1"}, {"Ef", "2"}, {"E1f", "1"}, {"BVf", "1"}, {"GVf", "1"}, {"SCf", "1"},
            {"hight", "10"}, {"RP", "20"}});
    ok = save(program, Screen::British, folder, "british.png") && ok;

    UserActions(*program.window(Screen::British)).click("Command2");
    ok = save(program, Screen::Farewell, folder, "farewell.png") && ok;
    return ok ? 0 : 1;
}
