#pragma once

#include "calc/calculation.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kalvoran::testing {

// The texts of a freshly opened calculation window, by field.
inline constexpr std::pair<std::string_view, std::string_view> kFreshCalculationTexts[]{{"D", "Select Dia"},
    {"L", "1.00"}, {"C", "Select C"}, {"Q", "1.00"}, {"hight", ""}, {"RP", "0.0"}, {"Tf", "0.0"}, {"Ef", "0.0"},
    {"E1f", "0.0"}, {"BVf", "0.0"}, {"GVf", "0.0"}, {"SCf", "0.0"}, {"ELF", "0.0"}, {"EL", "0.0"}, {"FL", "0.0"},
    {"PD", "0.0"}, {"V", "0.0"}, {"elevationdrop", "0.0"}, {"pumppressure", ""}};

// A calculation screen made of plain strings. It starts with the texts of a
// freshly opened calculation window and records what a run does to it.
class RecordingScreen : public calc::CalculationScreen
{
public:
    RecordingScreen()
    {
        for (const auto &[name, text] : kFreshCalculationTexts)
            m_fields.emplace(name, text);
    }

    [[nodiscard]] std::string fieldText(std::string_view name) const override
    {
        const auto it = m_fields.find(name);
        return it == m_fields.end() ? std::string() : it->second;
    }

    void setFieldText(std::string_view name, std::string_view text) override
    {
        type(name, text);
        log("set " + std::string(name));
    }

    void setResultsVisible(bool visible) override
    {
        m_resultsVisible = visible;
        log(visible ? "show" : "hide");
    }

    void showError(std::string_view message) override
    {
        m_messages.emplace_back(message);
        log("error " + std::string(message));
    }

    // Sets an input as a user would type it, without recording an event.
    void type(std::string_view name, std::string_view text)
    {
        m_fields.insert_or_assign(std::string(name), std::string(text));
    }

    [[nodiscard]] const std::string &text(const std::string &name) const { return m_fields.at(name); }
    [[nodiscard]] bool resultsVisible() const { return m_resultsVisible; }
    [[nodiscard]] const std::vector<std::string> &messages() const { return m_messages; }
    [[nodiscard]] const std::vector<std::string> &events() const { return m_events; }
    void clearLog()
    {
        m_messages.clear();
        m_events.clear();
    }
    void recordEvents(bool on) { m_recordEvents = on; }

private:
    void log(std::string event)
    {
        if (m_recordEvents)
            m_events.push_back(std::move(event));
    }

    std::map<std::string, std::string, std::less<>> m_fields;
    bool m_resultsVisible = false;
    bool m_recordEvents = true;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_events;
};

} // namespace kalvoran::testing
