#include "ui/calculation_layouts.h"
#include "ui/calculation_window.h"
#include "ui/controls.h"
#include "ui/info_windows.h"

#include <QAccessible>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

using namespace kalvoran::ui;

namespace {

QColor colour(Rgb rgb)
{
    return {rgb.r, rgb.g, rgb.b};
}

struct Window
{
    const char *name;
    const WindowLayout &(*layout)();
    std::function<std::unique_ptr<LayoutWindow>()> create;
};

class Layouts : public ::testing::TestWithParam<Window>
{
};

// Every row of the table becomes a control at its box, in its parent, with
// its font and colours.
TEST_P(Layouts, EveryControlStandsAtItsBox)
{
    const WindowLayout &layout = GetParam().layout();
    const auto window = GetParam().create();
    EXPECT_EQ(window->objectName(), toQString(layout.name));
    EXPECT_EQ(window->size(), QSize(toPixels(layout.clientWidth), toPixels(layout.clientHeight)));
    for (const Control &row : layout.controls) {
        SCOPED_TRACE(std::string(row.name) + (row.index >= 0 ? "(" + std::to_string(row.index) + ")" : ""));
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

// With the face we ship and its real metrics, every label's caption wraps
// within its box and nothing is cut off.
TEST_P(Layouts, EveryCaptionFitsItsBox)
{
    const WindowLayout &layout = GetParam().layout();
    const auto window = GetParam().create();
    for (const Control &row : layout.controls) {
        if (row.kind != Kind::Label && row.kind != Kind::PushButton && row.kind != Kind::Frame)
            continue;
        QWidget *widget = window->control(row.name, row.index);
        EXPECT_EQ(QFontInfo(widget->font()).family(), "Liberation Sans") << row.name;
        const QFontMetrics metrics(widget->font());
        const QRect box = toPixels(row.box);
        const QString caption = toQString(row.caption).replace("&&", "&");
        if (row.kind == Kind::Label) {
            const int flags = Qt::TextWordWrap | (row.style.align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
            const QRect needed = metrics.boundingRect(QRect(0, 0, box.width(), 100000), flags, caption);
            EXPECT_LE(needed.width(), box.width()) << row.name << ": " << caption.toStdString();
            EXPECT_LE(needed.height(), box.height()) << row.name << ": " << caption.toStdString();
        } else {
            // Buttons and frame captions stay on one line, with room for the bevel.
            EXPECT_LE(metrics.horizontalAdvance(caption) + 8, box.width()) << row.name;
            EXPECT_LE(metrics.height() + 4, box.height()) << row.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, Layouts,
    ::testing::Values(
        Window{"Form2", siCalculationLayout, [] { return std::make_unique<CalculationWindow>(UnitSystem::Si); }},
        Window{"Form3", britishCalculationLayout,
            [] { return std::make_unique<CalculationWindow>(UnitSystem::British); }}),
    [](const auto &p) { return std::string(p.param.name); });

// A screen reader finds every control that takes the focus by a name: its
// own, its caption's, or (a combo box on Linux) its label's.
TEST(AllWindows, EveryFocusableControlHasAnAccessibleName)
{
    std::vector<std::unique_ptr<LayoutWindow>> windows;
    windows.push_back(std::make_unique<MainWindow>());
    windows.push_back(std::make_unique<CalculationWindow>(UnitSystem::Si));
    windows.push_back(std::make_unique<CalculationWindow>(UnitSystem::British));
    windows.push_back(std::make_unique<FarewellWindow>());
    windows.push_back(std::make_unique<AboutWindow>());
    for (const auto &window : windows) {
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(window.get())->text(QAccessible::Name).isEmpty());
        for (QWidget *child : window->findChildren<QWidget *>()) {
            if (child->focusPolicy() == Qt::NoFocus || child->objectName().isEmpty())
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(child);
            ASSERT_NE(accessible, nullptr);
            const bool labelled = !accessible->relations(QAccessible::Label).isEmpty();
            EXPECT_TRUE(!accessible->text(QAccessible::Name).isEmpty() || labelled)
                << window->objectName().toStdString() << "." << child->objectName().toStdString();
        }
    }
}

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
    const auto caption = [](const WindowLayout &layout) {
        for (const Control &row : layout.controls) {
            if (row.name == "Label22")
                return row.caption;
        }
        return std::string_view{};
    };
    EXPECT_EQ(caption(siCalculationLayout()), "Elevation Drop / Gain ( bar )");
    EXPECT_EQ(caption(britishCalculationLayout()), "Elevation Drop / Gain ( psi )");
}

TEST(CalculationWindow, FrameIsFixedWithoutMinimiseOrMaximise)
{
    CalculationWindow window(UnitSystem::Si);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
    const auto *frame = window.control<QGroupBox>("Frame1");
    EXPECT_TRUE(frame->font().bold());
    EXPECT_EQ(frame->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(frame->isHidden());
}

} // namespace
