// The calculation engine for the browser page: calc/ as it is, behind the four
// screen operations, which the page's window implements in JavaScript.
//
// The module's contract with the page:
//   imports, module "screen" (pointers and lengths into the module's memory,
//   texts in UTF-8, lengths in bytes):
//     fieldText(namePtr, nameLen, outPtr, outCap) -> i32
//         writes at most outCap bytes of the field's text at outPtr and returns
//         the text's whole length; a length above outCap makes the engine ask
//         again with a buffer that large.
//     setFieldText(namePtr, nameLen, textPtr, textLen)
//     setResultsVisible(i32 visible)      0 hides the results frame, else shows it
//     showError(msgPtr, msgLen)           returns once the message is dismissed
//   exports: memory, _initialize (call once before anything else),
//     calculateSi(), calculateBritish(): "Calculate Now" on either window.
// The engine holds no state between runs and allocates its own buffers.

#include "calc/calculation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

extern "C" {
__attribute__((import_module("screen"), import_name("fieldText"))) std::int32_t screenFieldText(
    const char *name, std::size_t nameLength, char *out, std::size_t capacity);
__attribute__((import_module("screen"), import_name("setFieldText"))) void screenSetFieldText(
    const char *name, std::size_t nameLength, const char *text, std::size_t textLength);
__attribute__((import_module("screen"), import_name("setResultsVisible"))) void screenSetResultsVisible(
    std::int32_t visible);
__attribute__((import_module("screen"), import_name("showError"))) void screenShowError(
    const char *message, std::size_t messageLength);
}

// Room for any number a user types; a longer text costs one more call.
constexpr std::size_t kFirstCapacity = 64;

class PageScreen final : public kalvoran::calc::CalculationScreen
{
public:
    [[nodiscard]] std::string fieldText(std::string_view field) const override
    {
        std::string text(kFirstCapacity, '\0');
        for (;;) {
            const std::int32_t length = screenFieldText(field.data(), field.size(), text.data(), text.size());
            const auto size = static_cast<std::size_t>(length < 0 ? 0 : length);
            const bool fitted = size <= text.size();
            text.resize(size);
            if (fitted)
                return text;
        }
    }

    void setFieldText(std::string_view field, std::string_view text) override
    {
        screenSetFieldText(field.data(), field.size(), text.data(), text.size());
    }

    void setResultsVisible(bool visible) override { screenSetResultsVisible(visible ? 1 : 0); }

    void showError(std::string_view message) override { screenShowError(message.data(), message.size()); }
};

} // namespace

extern "C" __attribute__((export_name("calculateSi"))) void calculateSi()
{
    PageScreen screen;
    kalvoran::calc::calculateSi(screen);
}

extern "C" __attribute__((export_name("calculateBritish"))) void calculateBritish()
{
    PageScreen screen;
    kalvoran::calc::calculateBritish(screen);
}
