#include "ui/calculation_window.h"

#include "calc/calculation.h"
#include "layout/calculation_layouts.h"
#include "layout/ids.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace kalvoran::ui {

// The four operations a calculation run uses, on this window's widgets.
class CalculationWindow::Screen : public calc::CalculationScreen
{
public:
    explicit Screen(CalculationWindow &window)
        : m_window(window)
    { }

    [[nodiscard]] std::string fieldText(std::string_view field) const override
    {
        return m_window.fieldText(field).toStdString();
    }

    void setFieldText(std::string_view field, std::string_view text) override
    {
        if (auto *edit = m_window.control<QLineEdit>(field)) {
            edit->setText(toQString(text));
            edit->setCursorPosition(0); // show a long result from its first digit
        } else if (auto *combo = m_window.control<QComboBox>(field)) {
            combo->setEditText(toQString(text));
        } else {
            // A result written nowhere would be lost without a trace.
            Q_ASSERT_X(false, "CalculationWindow::setFieldText", "no such field in the layout table");
        }
    }

    void setResultsVisible(bool visible) override
    {
        m_window.control(layout::ids::calculation::kResultsFrame)->setVisible(visible);
        // A run hides the frame first and shows it at its end: only the end is news.
        if (visible)
            m_window.m_announcer.announce(toQString(layout::announcement::kResultsShown));
    }

    void showError(std::string_view message) override
    {
        if (m_window.m_presentError)
            m_window.m_presentError(&m_window, toQString(message));
    }

private:
    CalculationWindow &m_window;
};

CalculationWindow::CalculationWindow(UnitSystem units, QWidget *parent)
    : LayoutWindow(units == UnitSystem::Si ? layout::siCalculationLayout() : layout::britishCalculationLayout(), parent)
    , m_units(units)
    , m_presentError(showErrorBox)
    , m_announcer(this)
{
    control(layout::ids::calculation::kResultsFrame)->hide();
    connect(control<QPushButton>(layout::ids::calculation::kCalculate), &QPushButton::clicked, this,
        &CalculationWindow::calculate);
    connect(control<QPushButton>(layout::ids::calculation::kClear), &QPushButton::clicked, this,
        &CalculationWindow::clearResults);
}

CalculationWindow::~CalculationWindow() = default;

void CalculationWindow::setErrorPresenter(ErrorPresenter presenter)
{
    m_presentError = std::move(presenter);
}

QString CalculationWindow::fieldText(std::string_view name) const
{
    if (const auto *edit = control<QLineEdit>(name))
        return edit->text();
    if (const auto *combo = control<QComboBox>(name))
        return combo->currentText();
    // An unknown name would read as 0 and go on silently.
    Q_ASSERT_X(false, "CalculationWindow::fieldText", "no such field in the layout table");
    return {};
}

void CalculationWindow::calculate()
{
    Screen screen(*this);
    if (m_units == UnitSystem::Si)
        calc::calculateSi(screen);
    else
        calc::calculateBritish(screen);
}

void CalculationWindow::clearResults()
{
    for (const std::string_view name : calc::kClearedResults)
        control<QLineEdit>(name)->clear();
    control(layout::ids::calculation::kResultsFrame)->hide();
    m_announcer.announce(toQString(layout::announcement::kResultsCleared));
}

} // namespace kalvoran::ui
