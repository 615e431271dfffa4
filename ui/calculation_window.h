#pragma once

#include "ui/accessibility.h"
#include "ui/error_message.h"
#include "ui/layout_window.h"

#include "layout/moves.h"

namespace kalvoran::ui {

using layout::UnitSystem;

// A calculation window, Form2 (SI) or Form3 (British): the inputs of one pipe
// run, "Calculate Now" running that unit system's procedure on them, the
// results frame, "Clear", and "Back" and "Exit", which the program follows
// (layout/moves.h).
class CalculationWindow : public LayoutWindow
{
    Q_OBJECT
public:
    explicit CalculationWindow(UnitSystem units, QWidget *parent = nullptr);
    ~CalculationWindow() override;

    void setErrorPresenter(ErrorPresenter presenter);

    // The text a field shows: a text box's text or a combo box's edit text.
    [[nodiscard]] QString fieldText(std::string_view name) const;

public slots:
    void calculate();
    void clearResults();

private:
    class Screen;

    UnitSystem m_units;
    ErrorPresenter m_presentError;
    Announcer m_announcer; // tells a screen reader when the results come and go
};

} // namespace kalvoran::ui
