// How long the user waits after clicking "Calculate Now" before the results
// are on the screen.
//
// The SI window holds the worked run (C 120, D 50, L 10, Q 500, one tee, two
// elbows, elevation 5 m, residual pressure 1 bar), typed and picked as a user
// would. Each iteration clicks "Calculate Now" and stops the clock when the
// results frame is visible, has been painted and the X server has taken the
// pixels (a round trip after the flush). Between iterations, off the clock,
// "Clear" empties the results and hides the frame and the window is redrawn
// without it, so every click writes the seven results afresh. Run it on a real
// X server (QT_QPA_PLATFORM=xcb) so that painting and flushing cost what they
// cost on a desktop; scripts/bench does that under Xvfb.
//
// Two counters split each click: "click_ms", until the click has returned
// (run done, results written, frame flagged visible), and "paint_ms", the
// drawing after it.

#include "layout/ids.h"
#include "ui/calculation_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

using kalvoran::ui::CalculationWindow;
using kalvoran::ui::UnitSystem;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalMilliseconds = 5.0;
// Longest wait for a paint before an iteration counts as failed.
constexpr qint64 kPaintTimeoutMs = 2000;

// Notes when the watched widget receives a paint event.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *widget)
        : m_widget(widget)
    {
        m_widget->installEventFilter(this);
    }
    ~PaintWatch() override { m_widget->removeEventFilter(this); }
    PaintWatch(const PaintWatch &) = delete;
    PaintWatch &operator=(const PaintWatch &) = delete;

    void reset() { m_painted = false; }
    [[nodiscard]] bool painted() const { return m_painted; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QWidget *m_widget;
    bool m_painted = false;
};

// Runs the event loop until everything posted has been handled and the X
// server has caught up with every request sent so far.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QGuiApplication::sync();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Replaces a field's text by typing, as a user would.
void type(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Fills the window with the worked run. Returns what went wrong, if anything.
std::optional<std::string> enterWorkedRun(CalculationWindow &window)
{
    const std::vector<std::pair<const char *, QString>> picks{{"C", "120"}, {"D", "50"}};
    for (const auto &[name, entry] : picks) {
        auto *combo = window.control<QComboBox>(name);
        if (combo == nullptr)
            return std::string("no combo box ") + name;
        const int index = combo->findText(entry, Qt::MatchExactly);
        if (index < 0)
            return std::string("no entry ") + entry.toStdString() + " in " + name;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    const std::vector<std::pair<const char *, QString>> typed{
        {"L", "10"}, {"Q", "500"}, {"Tf", "1"}, {"Ef", "2"}, {"hight", "5"}, {"RP", "1"}};
    for (const auto &[name, text] : typed) {
        auto *edit = window.control<QLineEdit>(name);
        if (edit == nullptr)
            return std::string("no text box ") + name;
        type(edit, text);
    }
    return std::nullopt;
}

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void clickToResultsShown(benchmark::State &state, CalculationWindow &window, const QStringList &messages)
{
    namespace ids = kalvoran::layout::ids::calculation;
    auto *calculate = window.control<QPushButton>(ids::kCalculate);
    auto *clear = window.control<QPushButton>(ids::kClear);
    QWidget *frame = window.control(ids::kResultsFrame);
    if (calculate == nullptr || clear == nullptr || frame == nullptr) {
        state.SkipWithError("the SI window lacks its Calculate Now or Clear button or its results frame");
        return;
    }
    PaintWatch watch(frame);
    double clickTotal = 0;
    double paintTotal = 0;
    for (auto _ : state) {
        // Off the clock: the results cleared, the frame hidden, the window
        // redrawn without it.
        if (frame->isVisible())
            QTest::mouseClick(clear, Qt::LeftButton);
        settle();
        if (frame->isVisible()) {
            state.SkipWithError("the results frame is still visible after Clear");
            break;
        }
        watch.reset();

        const Clock::time_point start = Clock::now();
        QTest::mouseClick(calculate, Qt::LeftButton);
        const Clock::time_point clicked = Clock::now();
        QElapsedTimer waited;
        waited.start();
        while (frame->isVisible() && !watch.painted() && waited.elapsed() < kPaintTimeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QGuiApplication::sync(); // the server has the pixels
        const Clock::time_point shown = Clock::now();

        if (!messages.isEmpty()) {
            state.SkipWithError(("the run showed a message: " + messages.front().toStdString()).c_str());
            break;
        }
        if (!frame->isVisible()) {
            state.SkipWithError("the results frame is not visible after the click");
            break;
        }
        if (!watch.painted()) {
            state.SkipWithError("the results frame was not painted after the click");
            break;
        }
        if (window.fieldText("pumppressure").isEmpty()) {
            state.SkipWithError("the click left the pump head empty");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
        clickTotal += millisecondsBetween(start, clicked);
        paintTotal += millisecondsBetween(clicked, shown);
    }
    const auto iterations = static_cast<double>(state.iterations());
    if (iterations > 0) {
        state.counters["click_ms"] = clickTotal / iterations;
        state.counters["paint_ms"] = paintTotal / iterations;
    }
}

// Keeps the median of the repetitions so main() can compare it with the goal.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal: a reporter of our own does not follow
    // --benchmark_color.
    MedianReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular)
    { }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const auto &run : runs) {
            if (run.error_occurred)
                m_failed = true;
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medianMs = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    [[nodiscard]] bool failed() const { return m_failed; }
    [[nodiscard]] std::optional<double> medianMs() const { return m_medianMs; }

private:
    bool m_failed = false;
    std::optional<double> m_medianMs;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    QStringList messages;
    CalculationWindow window(UnitSystem::Si);
    window.setErrorPresenter([&messages](QWidget *, const QString &message) { messages.append(message); });
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fputs("ui_bench: the SI window was never exposed\n", stderr);
        return 1;
    }
    if (const auto problem = enterWorkedRun(window)) {
        std::fprintf(stderr, "ui_bench: cannot enter the worked run: %s\n", problem->c_str());
        return 1;
    }
    settle();

    benchmark::RegisterBenchmark("BM_ClickToResultsShown_Si",
        [&window, &messages](benchmark::State &state) { clickToResultsShown(state, window, messages); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);

    std::printf("Qt platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.failed()) {
        std::fputs("ui_bench: the click benchmark failed\n", stderr);
        return 1;
    }
    if (const auto median = reporter.medianMs()) {
        std::printf(
            "\n\"Calculate Now\" click to results shown (SI worked run): median %.3f ms (goal: under %.0f ms): %s\n",
            *median, kGoalMilliseconds, *median < kGoalMilliseconds ? "met" : "missed");
    }
    return 0;
}
