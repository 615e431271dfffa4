#include "kalvoran/version.h"
#include "layout/calculation_layouts.h"
#include "layout/ids.h"
#include "layout/info_layouts.h"
#include "support/named_case.h"
#include "support/ui_helpers.h"
#include "ui/calculation_window.h"
#include "ui/contrast.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/info_windows.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>

using namespace kalvoran::ui;
using namespace kalvoran::layout;
using kalvoran::testing::kCaseName;
using kalvoran::testing::makeWindow;
using kalvoran::testing::NamedCase;
using kalvoran::testing::shownText;

namespace {

namespace main = ids::main;
namespace calculation = ids::calculation;

const QString kBanner = ":/pictures/banner.gif";
const QString kSide = ":/pictures/side.jpg";
const QString kIcon = ":/pictures/kalvoran.ico";
const QString kCredit = "Programmed & developed by Eng. Tamsin Quillfeather";
const QString kWeb = toQString(maker::kWebAddress);
// The program's title, from the version the build is made with.
const QString kTitle = "Kalvoran v " + toQString(kalvoran::kVersion);

using Colours = std::pair<QColor, QColor>; // text, background
const Colours kRedOnWhite{QColor(255, 0, 0), Qt::white};
const Colours kRedOnPink{QColor(255, 0, 0), QColor(255, 192, 192)};
const Colours kDarkRedOnWhite{QColor(192, 0, 0), Qt::white};
const Colours kBlackOnWhite{Qt::black, Qt::white};

QColor colour(Rgb rgb)
{
    return {rgb.r, rgb.g, rgb.b};
}

// One control of an information window as it should look, written out
// independently of the layout tables. No colours means the toolkit's own.
struct Expected
{
    ControlRef control;
    TwipsBox box;
    double points;
    bool bold;
    bool italic;
    QString shown; // caption, text, or a picture's resource path
    std::optional<Colours> colours = {};
    bool centred = false;
};

const std::vector<Expected> kMain{
    {{"Label1"}, {0, 1320, 4815, 735}, 24, true, false, kTitle, kRedOnPink, true},
    {main::kSiUnits, {0, 6840, 1095, 375}, 8.25, true, false, "S.I Units"},
    {main::kBritishUnits, {1200, 6840, 1215, 375}, 8.25, true, false, "British Units"},
    {main::kExit, {3720, 6840, 975, 375}, 8.25, true, false, "Exit"},
    {{"Label2", 0}, {360, 3600, 4095, 255}, 8.25, true, false, "This Program is a product from", kRedOnWhite, true},
    {{"Label2", 1}, {360, 3840, 4095, 255}, 8.25, true, false, "Orrimark", kRedOnPink, true},
    {main::kWebAddress, {840, 4200, 3135, 285}, 8.25, true, false, kWeb, kRedOnPink, true},
    {{"Label3"}, {0, 2400, 4695, 975}, 8.25, true, false,
        "Kalvoran program is a hydraulic calculator helps you in calculating the pressure losses ( Friction, "
        "elevation  and velocity )and to determine the duty of the pump requiered in your application or your "
        "project.",
        kBlackOnWhite},
    {main::kSidePicture, {4920, 1320, 2775, 5895}, 8.25, false, false, kSide},
    {{"Label4"}, {720, 4800, 3375, 855}, 9.75, true, false, "All rights reserved to Orrimark (c) 2026", kRedOnWhite,
        true},
    {main::kAbout, {2520, 6840, 975, 375}, 8.25, true, false, "About"},
    {main::kBanner, {360, 120, 6975, 1095}, 8.25, false, false, kBanner},
    {{"Label5"}, {600, 5760, 3495, 735}, 9.75, true, true, kCredit, kDarkRedOnWhite, true},
};

const std::vector<Expected> kFarewell{
    {{"Label1"}, {120, 1320, 6855, 1335}, 18, true, true,
        "Thank you for using this version of the program..for more information please contact us at:", kDarkRedOnWhite,
        true},
    {ids::farewell::kEnd, {2880, 5640, 1335, 375}, 8.25, true, false, "End"},
    {{"Label2"}, {720, 2880, 5775, 735}, 18, false, true, "Orrimark", kRedOnWhite, true},
    {{"Label3"}, {1560, 5160, 3855, 255}, 8.25, true, false, "Veldmoor, Estrania", kRedOnWhite, true},
    {{"Label4"}, {4320, 3840, 2655, 255}, 8.25, true, false, "Tel. +1 555 0142", kRedOnWhite, true},
    {{"Label5"}, {0, 3840, 2775, 255}, 8.25, true, false, "Mobile: +1 555 0187", kRedOnWhite, true},
    {{"Label6"}, {1440, 4320, 4095, 375}, 8.25, true, false, "Email: info@orrimark.example.com", kRedOnWhite, true},
    {{"Label7"}, {1320, 4680, 4335, 495}, 8.25, true, false, "WebSite : " + kWeb, kRedOnWhite, true},
    {ids::farewell::kBanner, {120, 120, 6855, 1095}, 8.25, false, false, kBanner},
};

const std::vector<Expected> kAbout{
    {ids::about::kAboutText, {120, 1440, 8055, 2055}, 8.25, false, false, toQString(aboutLayout().controls[0].caption)},
    {ids::about::kOk, {7560, 3600, 615, 375}, 8.25, false, false, "OK"},
    {ids::about::kBanner, {600, 120, 6855, 1095}, 8.25, false, false, kBanner},
    {{"Label5", 1}, {120, 3600, 7095, 375}, 9.75, true, true, kCredit, kDarkRedOnWhite, true},
};

const std::vector<ControlRef> kResultTabStops{
    {"ELF"}, {"EL"}, {"FL"}, {"PD"}, {"V"}, {"elevationdrop"}, {"pumppressure"}, calculation::kClear};

// Each of the five windows, with what this file expects of it written out
// here rather than read from its table.
struct Window : NamedCase
{
    const char *form;
    const WindowLayout &(*layout)();
    std::unique_ptr<LayoutWindow> (*create)();
    QString caption;
    QSize client;
    WindowFrame frame;
    std::vector<ControlRef> tabOrder;
    std::vector<ControlRef> inResultsFrame; // tab stops that drop out while the frame is hidden
    std::span<const Expected> look = {};    // every control of an information window
};

const Window kWindows[]{
    {"Main", "Form1", mainLayout, makeWindow<MainWindow>, kTitle, {517, 489}, WindowFrame::FixedToolWindow,
        {main::kSiUnits, main::kBritishUnits, main::kExit, main::kWebAddress, main::kSidePicture, main::kAbout,
            main::kBanner},
        {}, kMain},
    {"Si", "Form2", siCalculationLayout, makeWindow<CalculationWindow, UnitSystem::Si>, "Calculations in S.I Units",
        {582, 592}, WindowFrame::FixedDialog,
        {{"L"}, {"Q"}, {"Tf"}, {"Ef"}, {"E1f"}, {"BVf"}, {"GVf"}, {"SCf"}, calculation::kCalculate, {"ELF"}, {"EL"},
            {"FL"}, {"PD"}, {"V"}, calculation::kExit, calculation::kBack, calculation::kClear, {"hight"},
            {"pumppressure"}, {"elevationdrop"}, {"D"}, {"C"}, {"RP"}},
        kResultTabStops},
    {"British", "Form3", britishCalculationLayout, makeWindow<CalculationWindow, UnitSystem::British>,
        "Calculations in British Units", {583, 593}, WindowFrame::FixedDialog,
        {{"RP"}, {"C"}, {"D"}, {"hight"}, calculation::kBack, calculation::kExit, calculation::kCalculate,
            {"elevationdrop"}, {"pumppressure"}, calculation::kClear, {"V"}, {"PD"}, {"FL"}, {"EL"}, {"ELF"}, {"SCf"},
            {"GVf"}, {"BVf"}, {"E1f"}, {"Ef"}, {"Tf"}, {"Q"}, {"L"}},
        kResultTabStops},
    {"Farewell", "Form4", farewellLayout, makeWindow<FarewellWindow>, "Thank you", {477, 404},
        WindowFrame::FixedToolWindow, {ids::farewell::kEnd, ids::farewell::kBanner}, {}, kFarewell},
    {"About", "Form5", aboutLayout, makeWindow<AboutWindow>, "About The program", {551, 267}, WindowFrame::Sizable,
        {ids::about::kAboutText, ids::about::kOk, ids::about::kBanner}, {}, kAbout},
};

using Windows = ::testing::TestWithParam<Window>;
using InfoWindows = ::testing::TestWithParam<Window>;

// The control that holds the focus, by its key: a combo box's edit field
// counts as the combo box.
std::string focusedControl(const LayoutWindow &window)
{
    for (const QWidget *widget = window.focusWidget(); widget != nullptr; widget = widget->parentWidget()) {
        const std::string name = widget->objectName().toStdString();
        const QVariant index = widget->property("index");
        const int i = index.isValid() ? index.toInt() : -1;
        if (!name.empty() && window.control(name, i) == widget)
            return controlKey(name, i);
    }
    return "(none)";
}

TEST_P(Windows, EveryControlStandsAtItsBox)
{
    const WindowLayout &layout = GetParam().layout();
    const auto window = GetParam().create();
    EXPECT_EQ(window->objectName(), toQString(layout.name));
    EXPECT_EQ(window->objectName(), GetParam().form);
    EXPECT_EQ(window->windowTitle(), GetParam().caption);
    EXPECT_EQ(window->size(), QSize(toPixels(layout.clientWidth), toPixels(layout.clientHeight)));
    EXPECT_EQ(window->size(), GetParam().client);
    for (const Control &row : layout.controls) {
        SCOPED_TRACE(controlKey(row.name, row.index));
        QWidget *widget = window->control(row.name, row.index);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), toQString(row.name));
        EXPECT_EQ(widget->parentWidget(), row.parent.empty() ? window.get() : window->control(row.parent));
        if (row.kind == Kind::Line) {
            const auto *line = qobject_cast<LineControl *>(widget);
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(line->from(), QPoint(toPixels(row.line.x1), toPixels(row.line.y1)));
            EXPECT_EQ(line->to(), QPoint(toPixels(row.line.x2), toPixels(row.line.y2)));
            EXPECT_EQ(line->colour(), colour(row.style.text));
            EXPECT_EQ(line->penWidth(), 2);
            continue;
        }
        EXPECT_EQ(widget->geometry(), toPixels(row.box));
        EXPECT_EQ(widget->font().bold(), row.style.bold);
        EXPECT_EQ(widget->font().italic(), row.style.italic);
        if (row.kind == Kind::Label) {
            const auto *label = qobject_cast<QLabel *>(widget);
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->text(), toQString(row.caption).replace("&&", "&"));
            EXPECT_TRUE(label->wordWrap());
            EXPECT_TRUE(label->autoFillBackground());
            EXPECT_EQ(label->palette().color(QPalette::WindowText), colour(row.style.text));
            EXPECT_EQ(label->palette().color(QPalette::Window), colour(row.style.background));
            EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask,
                row.style.align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
            EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        }
    }
}

// With the face resolved here and its real metrics, at the screen's scale,
// every caption wraps within its box and nothing is cut off.
TEST_P(Windows, EveryCaptionFitsItsBox)
{
    const auto window = GetParam().create();
    for (const Control &row : GetParam().layout().controls) {
        if (row.kind != Kind::Label && row.kind != Kind::PushButton && row.kind != Kind::GroupBox)
            continue;
        SCOPED_TRACE(controlKey(row.name, row.index));
        QWidget *widget = window->control(row.name, row.index);
        // Measured in the face actually drawn, which must be the one resolved.
        EXPECT_EQ(QFontInfo(widget->font()).family().toStdString(), windowFace().family);
        const QFontMetrics metrics(widget->font());
        const QRect box = toPixels(row.box);
        const QString caption = shownText(widget);
        if (row.kind == Kind::Label) {
            const int flags = Qt::TextWordWrap | (row.style.align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
            const QRect needed = metrics.boundingRect(QRect(0, 0, box.width(), 100000), flags, caption);
            EXPECT_LE(needed.width(), box.width()) << caption.toStdString();
            EXPECT_LE(needed.height(), box.height()) << caption.toStdString();
        } else {
            // Buttons and frame captions stay on one line, with room for the bevel.
            EXPECT_LE(metrics.horizontalAdvance(caption) + 8, box.width()) << caption.toStdString();
            EXPECT_LE(metrics.height() + 4, box.height()) << caption.toStdString();
        }
    }
}

// Whether a pixel of the picture within radius device pixels of centre matches.
bool anyPixelNear(const QImage &picture, QPointF centre, int radius, const std::function<bool(QColor)> &matches)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint at = centre.toPoint() + QPoint(dx, dy);
            if (picture.rect().contains(at) && matches(QColor(picture.pixel(at))))
                return true;
        }
    }
    return false;
}

// At the screen's scale (a fractional one under Wine at 125 and 150 %) the
// window is its layout size times the scale, and no line or frame border is
// lost between device pixels.
TEST_P(Windows, DrawnWholeAtTheScreenScale)
{
    const WindowLayout &layout = GetParam().layout();
    const auto window = GetParam().create();
    for (QGroupBox *frame : window->findChildren<QGroupBox *>())
        frame->show(); // the results frame opens hidden
    const QImage picture = window->grab().toImage();
    const qreal scale = window->devicePixelRatioF();
    RecordProperty("scale", QString::number(scale).toStdString());
    RecordProperty("face", std::string(windowFace().family));
    RecordProperty("drawn", QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height()).toStdString());
    EXPECT_NEAR(picture.width(), toPixels(layout.clientWidth) * scale, 1.0) << "at scale " << scale;
    EXPECT_NEAR(picture.height(), toPixels(layout.clientHeight) * scale, 1.0) << "at scale " << scale;
    const int radius = int(std::ceil(scale));
    const auto inWindow
        = [&](const QWidget *area, QPoint point) { return QPointF(area->mapTo(window.get(), point)) * scale; };
    for (const LineControl *line : window->findChildren<LineControl *>()) {
        const QPoint middle = (line->from() + line->to()) / 2;
        EXPECT_TRUE(anyPixelNear(
            picture, inWindow(line->parentWidget(), middle), radius, [&](QColor c) { return c == line->colour(); }))
            << line->objectName().toStdString() << " at scale " << scale;
    }
    const auto notWhite = [](QColor c) { return c != Qt::white; };
    for (const QGroupBox *frame : window->findChildren<QGroupBox *>()) {
        const QRect box = frame->rect();
        EXPECT_TRUE(anyPixelNear(picture, inWindow(frame, QPoint(1, box.center().y())), radius, notWhite))
            << frame->objectName().toStdString() << " left border at scale " << scale;
        EXPECT_TRUE(
            anyPixelNear(picture, inWindow(frame, QPoint(box.center().x(), box.bottom() - 1)), radius, notWhite))
            << frame->objectName().toStdString() << " bottom border at scale " << scale;
        // The top border is drawn, but not through the caption (which the
        // Windows styles set on the border's line).
        const QRect strip(inWindow(frame, {}).toPoint(), QSize(box.width(), frame->fontMetrics().height() + 4) * scale);
        const QColor text = frame->palette().color(QPalette::WindowText);
        const auto ofCaption = [&](QColor c) {
            return std::abs(c.red() - text.red()) + std::abs(c.green() - text.green())
                + std::abs(c.blue() - text.blue())
                < 96;
        };
        const auto border = [&](QColor c) { return c.red() == c.green() && c.green() == c.blue() && notWhite(c); };
        QRect caption; // where the caption is drawn strongly
        bool topBorder = false;
        for (int y = strip.top(); y <= strip.bottom(); ++y) {
            topBorder = topBorder || border(picture.pixel(strip.center().x(), y));
            for (int x = strip.left(); x <= strip.right(); ++x)
                caption |= ofCaption(picture.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
        }
        EXPECT_TRUE(topBorder) << frame->objectName().toStdString() << " top border at scale " << scale;
        ASSERT_FALSE(caption.isEmpty()) << frame->objectName().toStdString() << " caption at scale " << scale;
        for (int y = caption.top(); y <= caption.bottom(); ++y) {
            for (int x = caption.left(); x <= caption.right(); ++x)
                ASSERT_FALSE(border(picture.pixel(x, y)))
                    << "border through the caption at " << x << "," << y << " at scale " << scale;
        }
    }
}

// On first show the focus is on the first tab stop; Tab then visits the rest
// in order, skipping the results frame's while it is hidden, and comes back
// round to the first.
TEST_P(Windows, TabOrderAndFirstFocus)
{
    const Window &param = GetParam();
    const auto window = param.create();
    window->show();
    const ControlRef first = param.tabOrder.front();
    EXPECT_EQ(focusedControl(*window), controlKey(first.name, first.index));
    QWidget *frame = window->control(calculation::kResultsFrame);
    for (const bool frameShown : {false, true}) {
        if (frame == nullptr && !frameShown)
            continue;
        if (frame != nullptr)
            frame->setVisible(frameShown);
        std::vector<std::string> expected;
        for (const ControlRef &stop : param.tabOrder) {
            const bool inFrame = std::ranges::any_of(param.inResultsFrame,
                [&stop](const ControlRef &other) { return other.name == stop.name && other.index == stop.index; });
            if (frameShown || !inFrame)
                expected.push_back(controlKey(stop.name, stop.index));
        }
        expected.push_back(expected.front());
        window->control(first)->setFocus();
        std::vector<std::string> visited{focusedControl(*window)};
        for (std::size_t i = 1; i < expected.size(); ++i) {
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
            visited.push_back(focusedControl(*window));
        }
        EXPECT_EQ(visited, expected) << (frameShown ? "with" : "without") << " results";
    }
}

// Fixed frames without a minimise or maximise box on a white background; only
// the About window can be stretched, and that moves nothing inside it.
TEST_P(Windows, FrameMatchesTheWindowKind)
{
    const Window &param = GetParam();
    const auto window = param.create();
    EXPECT_EQ(param.layout().frame, param.frame);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->windowIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32),
        QImage(kIcon).convertToFormat(QImage::Format_ARGB32));
    const bool resizable = param.frame == WindowFrame::Sizable;
    EXPECT_EQ(window->minimumSize() != window->maximumSize(), resizable);
    if (!resizable)
        return;
    std::map<QWidget *, QRect> before;
    for (const Control &row : param.layout().controls)
        before[window->control(row.name, row.index)] = window->control(row.name, row.index)->geometry();
    window->show();
    const QSize client = window->size();
    window->resize(client + QSize(150, 90));
    QApplication::processEvents();
    EXPECT_EQ(window->size(), client + QSize(150, 90));
    for (const auto &[widget, geometry] : before)
        EXPECT_EQ(widget->geometry(), geometry) << widget->objectName().toStdString();
}

// A screen reader finds every control that takes the focus by a name: its
// own, its caption's, or (a combo box on Linux) its label's.
TEST_P(Windows, EveryFocusableControlHasAnAccessibleName)
{
    const auto window = GetParam().create();
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(window.get())->text(QAccessible::Name).isEmpty());
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (child->focusPolicy() == Qt::NoFocus || child->objectName().isEmpty())
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(child);
        ASSERT_NE(accessible, nullptr);
        const bool labelled = !accessible->relations(QAccessible::Label).isEmpty();
        EXPECT_TRUE(!accessible->text(QAccessible::Name).isEmpty() || labelled) << child->objectName().toStdString();
    }
}

// Every window is pure white behind its controls, and so is the inside of the
// results frame and every label given a white background: under the default
// style, pixel by pixel, as the window is drawn.
TEST_P(Windows, WhiteIsPureWhite)
{
    const auto window = GetParam().create();
    for (QGroupBox *frame : window->findChildren<QGroupBox *>())
        frame->show(); // the results frame opens hidden
    const QImage picture = window->grab().toImage();
    const auto expectWhiteOutsideChildren = [&](const QWidget *area, QRect inside) {
        std::vector<QRect> covered;
        for (const QWidget *child : area->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            covered.push_back(child->geometry());
        const QPoint offset = area->mapTo(window.get(), QPoint(0, 0));
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                if (std::any_of(covered.begin(), covered.end(), [&](const QRect &r) { return r.contains(x, y); }))
                    continue;
                ASSERT_EQ(QColor(picture.pixel(offset + QPoint(x, y))).name(), QStringLiteral("#ffffff"))
                    << area->objectName().toStdString() << " at " << x << "," << y;
            }
        }
    };
    expectWhiteOutsideChildren(window.get(), window->rect());
    for (QGroupBox *frame : window->findChildren<QGroupBox *>()) {
        const int top = frame->fontMetrics().height() + 4;
        expectWhiteOutsideChildren(frame, frame->rect().adjusted(2, top, -2, -2));
    }
    // Labels given a white background: white is what most of their box shows.
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        if (label->palette().color(QPalette::Window) != Qt::white || !label->autoFillBackground())
            continue;
        std::map<QRgb, int> count;
        const QRect box(label->mapTo(window.get(), QPoint(0, 0)), label->size());
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x)
                ++count[picture.pixel(x, y)];
        }
        const auto most = std::max_element(
            count.begin(), count.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
        EXPECT_EQ(QColor(most->first).name(), QStringLiteral("#ffffff")) << label->objectName().toStdString();
    }
}

TEST_P(InfoWindows, EveryControlStandsAtItsBoxWithItsLook)
{
    const Window &param = GetParam();
    const auto window = param.create();
    // Nothing beyond the table: the controls listed and, on Form1, Line1.
    EXPECT_EQ(param.layout().controls.size(), param.look.size() + (param.layout().name == "Form1" ? 1 : 0));
    const double regularPoints = fontFor(kRegular).pointSizeF();
    for (const Expected &row : param.look) {
        SCOPED_TRACE(controlKey(row.control.name, row.control.index));
        QWidget *widget = window->control(row.control);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), window.get());
        EXPECT_EQ(widget->geometry(), toPixels(row.box));
        EXPECT_NEAR(widget->font().pointSizeF() / regularPoints, row.points / 8.25, 1e-6);
        EXPECT_EQ(widget->font().weight(), row.bold ? QFont::Bold : QFont::Normal);
        EXPECT_EQ(widget->font().italic(), row.italic);
        if (auto *picture = qobject_cast<PictureBox *>(widget)) {
            EXPECT_EQ(picture->picture().toImage(), QImage(row.shown));
            EXPECT_EQ(picture->focusPolicy(), Qt::StrongFocus);
            continue;
        }
        EXPECT_EQ(shownText(widget), row.shown);
        if (row.colours) {
            const bool isLabel = qobject_cast<QLabel *>(widget) != nullptr;
            EXPECT_EQ(widget->palette().color(isLabel ? QPalette::WindowText : QPalette::Text), row.colours->first);
            EXPECT_EQ(widget->palette().color(isLabel ? QPalette::Window : QPalette::Base), row.colours->second);
            EXPECT_TRUE(widget->autoFillBackground());
        } else {
            EXPECT_FALSE(widget->testAttribute(Qt::WA_SetPalette));
        }
        if (auto *label = qobject_cast<QLabel *>(widget)) { // word wrap and focus: EveryControlStandsAtItsBox
            EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, row.centred ? Qt::AlignHCenter : Qt::AlignLeft);
        }
        if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            EXPECT_EQ(edit->alignment() & Qt::AlignHorizontal_Mask, row.centred ? Qt::AlignHCenter : Qt::AlignLeft);
        }
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            EXPECT_FALSE(button->isDefault());
            EXPECT_FALSE(button->autoDefault());
        }
    }
}

// The picture boxes show their pictures at full size from the top left,
// clipped by the box: what the box shows inside its border is the picture's
// own top left corner, pixel for pixel.
TEST_P(InfoWindows, PicturesAreShownUnscaledAndClipped)
{
    const auto window = GetParam().create();
    for (const Control &row : GetParam().layout().controls) {
        if (row.kind != Kind::PictureBox)
            continue;
        SCOPED_TRACE(controlKey(row.name, row.index));
        auto *box = window->control<PictureBox>(row.name, row.index);
        const QImage source = QImage(toQString(row.caption)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(source.isNull());
        const QRect inside = box->contentsRect();
        EXPECT_EQ(inside, box->rect().adjusted(1, 1, -1, -1));
        if (row.caption == kBanner.toStdString() && GetParam().layout().name != "Form1") {
            EXPECT_GT(source.width(), inside.width()); // Form4 and Form5 cut the banner's right edge
        }
        const QSize shown = source.size().boundedTo(inside.size());
        const QImage grabbed = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(grabbed.copy(QRect(inside.topLeft(), shown)), source.copy(QRect(QPoint(0, 0), shown)));
    }
}

// WCAG 2's contrast ratio of two colours, from their relative luminance.
double contrastRatio(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// With more contrast asked for, the tables' red and no other colour turns
// darker, and every own-coloured caption then reads at 4.5:1 or better.
TEST_P(Windows, RedTurnsDarkerWithMoreContrast)
{
    setMoreContrast(true);
    const auto window = GetParam().create();
    setMoreContrast(false);
    for (const Control &row : GetParam().layout().controls) {
        if (!row.style.ownColours)
            continue;
        SCOPED_TRACE(controlKey(row.name, row.index));
        const QWidget *widget = window->control(row.name, row.index);
        ASSERT_NE(widget, nullptr);
        const QColor expected = colour(row.style.text == kRed ? kMoreContrastRed : row.style.text);
        if (const auto *line = qobject_cast<const LineControl *>(widget)) {
            EXPECT_EQ(line->colour(), expected);
            continue;
        }
        const bool edit = row.kind == Kind::TextBox || row.kind == Kind::MultiLineTextBox;
        const QColor text = widget->palette().color(edit ? QPalette::Text : QPalette::WindowText);
        EXPECT_EQ(text, expected);
        EXPECT_GE(contrastRatio(text, widget->palette().color(edit ? QPalette::Base : QPalette::Window)), 4.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Layout, Windows, ::testing::ValuesIn(kWindows), kCaseName);
INSTANTIATE_TEST_SUITE_P(Look, InfoWindows, ::testing::Values(kWindows[0], kWindows[3], kWindows[4]), kCaseName);

TEST(CalculationLayouts, BritishDiffersOnlyWhereItShould)
{
    const auto &si = siCalculationLayout();
    const auto &british = britishCalculationLayout();
    ASSERT_EQ(si.controls.size(), british.controls.size());
    const std::set<std::string_view> differing{"Label1", "Label2", "Label3", "Label7", "Label20", "Label23", "Label19",
        "Label15", "Label16", "Label17", "Label18", "Label22", "Label21", "D"};
    for (std::size_t i = 0; i < si.controls.size(); ++i) {
        const Control &a = si.controls[i];
        const Control &b = british.controls[i];
        EXPECT_EQ(a.name, b.name);
        const bool same = a.caption == b.caption && a.box.left == b.box.left && a.box.top == b.box.top
            && a.box.width == b.box.width && a.box.height == b.box.height && a.items.data() == b.items.data();
        EXPECT_EQ(same, !differing.contains(a.name)) << a.name;
    }
}

TEST(CalculationLayouts, ElevationLabelsNameTheUnitTheyHold)
{
    // elevationdrop holds bar on the SI window and psi on the British one.
    const auto caption
        = [](UnitSystem units) { return shownText(CalculationWindow(units).control(calculation::kElevationCaption)); };
    EXPECT_EQ(caption(UnitSystem::Si), "Elevation Drop / Gain ( bar )");
    EXPECT_EQ(caption(UnitSystem::British), "Elevation Drop / Gain ( psi )");
}

} // namespace
