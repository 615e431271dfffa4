// Prints every window's layout as JSON, read from the program's own tables,
// so that the end-to-end tests and the browser page find windows by their
// captions and draw or click controls where the program puts them, without a
// second copy of any table. Built from the Qt-free layout library alone.
// Usage: layout_dump [--page] [OUTPUT.json]  (standard output without a file)
//
// Without --page: an array of windows. With --page: an object
//   {"windows": [...], "fields": {"inputs": {key: name}, "results": {key: name}},
//    "clearedResults": [name], "messages": {key: text},
//    "announcements": {"resultsShown": text, "resultsCleared": text},
//    "errorBoxTitle": text}
// (keys are the engine's constant names without the k, first letter lower).
// A window: {"name", "caption", "client": [0, 0, w, h] twips, "clientPixels",
//   "frame": WindowFrame's value, "controls": [control], "tabOrder": [{"name", "index"}],
//   "firstFocus": {"name", "index"} or null}.
// A control: {"name", "index" (-1: no array), "kind": Kind's value,
//   "caption" (initial text, where a label's "&&" shows one "&"; a picture's
//   resource path), "box": [left, top, width, height] twips, in the parent's
//   coordinates, "pixels": the same rounded as the program does, "style":
//   {"points", "bold", "italic", "centred", "text" and "background": [r, g, b],
//   "ownColours"}, "names": the field a label names (its caption is then the
//   field's accessible name), "parent": the frame it sits in or "", "line":
//   [x1, y1, x2, y2] twips, "items": a combo's list, "accessibleName",
//   "accessibleDescription", "tabIndex": its place in tabOrder or -1,
//   "picture": the file under ui/pictures/ or ""}.

#include "calc/calculation.h"
#include "layout/calculation_layouts.h"
#include "layout/info_layouts.h"
#include "layout/layout.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <sstream>
#include <string_view>
#include <utility>

namespace {

using namespace kalvoran::layout;

// The names of Kind's and WindowFrame's values, in their order.
constexpr std::array<std::string_view, 8> kKinds{
    "Label", "TextBox", "MultiLineTextBox", "ComboBox", "PushButton", "GroupBox", "Line", "PictureBox"};
constexpr std::array<std::string_view, 3> kFrames{"FixedToolWindow", "FixedDialog", "Sizable"};
static_assert(static_cast<std::size_t>(Kind::PictureBox) + 1 == kKinds.size());
static_assert(static_cast<std::size_t>(WindowFrame::Sizable) + 1 == kFrames.size());

// One JSON object, its fields written in the order given.
class Object
{
public:
    explicit Object(std::ostream &out)
        : m_out(out)
    {
        m_out << '{';
    }
    ~Object() { m_out << '}'; }
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    template<typename Value> void field(std::string_view key, const Value &value)
    {
        m_out << (m_first ? "" : ",") << '"' << key << "\":";
        m_first = false;
        write(value);
    }

private:
    void write(int value) { m_out << value; }
    void write(double value) { m_out << value; }
    void write(bool value) { m_out << (value ? "true" : "false"); }
    void write(Rgb c) { write(std::array{int{c.r}, int{c.g}, int{c.b}}); }
    void write(const TwipsBox &b) { write(std::array{b.left, b.top, b.width, b.height}); }
    void write(const TwipsLine &l) { write(std::array{l.x1, l.y1, l.x2, l.y2}); }
    template<typename Item, std::size_t N> void write(const std::array<Item, N> &items)
    {
        write(std::span<const Item>(items));
    }
    template<typename Item> void write(std::span<const Item> items)
    {
        m_out << '[';
        for (std::size_t i = 0; i < items.size(); ++i) {
            m_out << (i ? "," : "");
            write(items[i]);
        }
        m_out << ']';
    }
    void write(std::string_view text)
    {
        m_out << '"';
        for (const char c : text) {
            if (c == '"' || c == '\\')
                m_out << '\\' << c;
            else if (c == '\n')
                m_out << "\\n";
            else if (static_cast<unsigned char>(c) < 0x20)
                m_out << "\\u00"
                      << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
            else
                m_out << c;
        }
        m_out << '"';
    }
    void write(const Style &s)
    {
        Object o(m_out);
        o.field("points", s.points);
        o.field("bold", s.bold);
        o.field("italic", s.italic);
        o.field("centred", s.align == Align::Centre);
        o.field("text", s.text);
        o.field("background", s.background);
        o.field("ownColours", s.ownColours);
    }

    std::ostream &m_out;
    bool m_first = true;
};

using Named = std::pair<std::string_view, std::string_view>;

namespace field = kalvoran::calc::field;
namespace message = kalvoran::calc::message;

constexpr std::array<Named, 12> kInputs{
    {{"diameter", field::kDiameter}, {"length", field::kLength}, {"cFactor", field::kCFactor}, {"flow", field::kFlow},
        {"elevation", field::kElevation}, {"residualPressure", field::kResidualPressure}, {"tees", field::kTees},
        {"elbows", field::kElbows}, {"longElbows", field::kLongElbows}, {"butterflyValves", field::kButterflyValves},
        {"gateValves", field::kGateValves}, {"swingCheckValves", field::kSwingCheckValves}}};
constexpr std::array<Named, 7> kResults{{{"fittingsLength", field::kFittingsLength}, {"pipeLength", field::kPipeLength},
    {"frictionLoss", field::kFrictionLoss}, {"pressureDrop", field::kPressureDrop}, {"velocity", field::kVelocity},
    {"elevationPressure", field::kElevationPressure}, {"pumpHead", field::kPumpHead}}};
constexpr std::array<Named, 5> kMessages{{{"selectCFactor", message::kSelectCFactor},
    {"selectDiameter", message::kSelectDiameter}, {"negativeHead", message::kNegativeHead},
    {"negativeFlow", message::kNegativeFlow}, {"outOfRange", message::kOutOfRange}}};
constexpr std::string_view kPicturePrefix = ":/pictures/";

void writeNamed(std::ostream &out, std::span<const Named> pairs)
{
    Object o(out);
    for (const auto &[key, value] : pairs)
        o.field(key, value);
}

TwipsBox pixels(const TwipsBox &b)
{
    return {toPixels(b.left), toPixels(b.top), toPixels(b.width), toPixels(b.height)};
}

// A field added to Control is one more line here.
void writeControl(std::ostream &out, const WindowLayout &w, const Control &c)
{
    int tabIndex = -1;
    for (std::size_t i = 0; i < w.tabOrder.size(); ++i) {
        if (w.tabOrder[i].name == c.name && w.tabOrder[i].index == c.index)
            tabIndex = static_cast<int>(i);
    }
    const bool picture = c.kind == Kind::PictureBox && c.caption.starts_with(kPicturePrefix);
    Object o(out);
    o.field("name", c.name);
    o.field("index", c.index);
    o.field("kind", kKinds[static_cast<std::size_t>(c.kind)]);
    o.field("caption", c.caption);
    o.field("box", c.box);
    o.field("pixels", pixels(c.box));
    o.field("style", c.style);
    o.field("names", c.names);
    o.field("parent", c.parent);
    o.field("line", c.line);
    o.field("items", c.items);
    o.field("accessibleName", c.accessibleName);
    o.field("accessibleDescription", c.accessibleDescription);
    o.field("tabIndex", tabIndex);
    o.field("picture", picture ? c.caption.substr(kPicturePrefix.size()) : std::string_view());
}

void writeWindow(std::ostream &out, const WindowLayout &w)
{
    Object o(out);
    o.field("name", w.name);
    o.field("caption", w.caption);
    o.field("client", TwipsBox{0, 0, w.clientWidth, w.clientHeight});
    o.field("clientPixels", pixels(TwipsBox{0, 0, w.clientWidth, w.clientHeight}));
    o.field("frame", kFrames[static_cast<std::size_t>(w.frame)]);
    out << ",\"controls\":[";
    for (std::size_t i = 0; i < w.controls.size(); ++i) {
        out << (i ? ",\n" : "\n");
        writeControl(out, w, w.controls[i]);
    }
    out << "],\"tabOrder\":[";
    for (std::size_t i = 0; i < w.tabOrder.size(); ++i) {
        out << (i ? "," : "");
        Object ref(out);
        ref.field("name", w.tabOrder[i].name);
        ref.field("index", w.tabOrder[i].index);
    }
    out << "],\"firstFocus\":";
    if (w.tabOrder.empty()) {
        out << "null";
    } else {
        Object ref(out);
        ref.field("name", w.tabOrder.front().name);
        ref.field("index", w.tabOrder.front().index);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const bool page = argc > 1 && std::string_view(argv[1]) == "--page";
    if (page) {
        --argc;
        ++argv;
    }
    std::ostringstream json;
    json.imbue(std::locale::classic());
    json << (page ? "{\"windows\":[" : "[");
    bool first = true;
    for (const WindowLayout *w :
        {&mainLayout(), &siCalculationLayout(), &britishCalculationLayout(), &farewellLayout(), &aboutLayout()}) {
        json << (first ? "\n" : ",\n");
        first = false;
        writeWindow(json, *w);
    }
    json << "\n]";
    if (page) {
        json << ",\n\"fields\":{\"inputs\":";
        writeNamed(json, kInputs);
        json << ",\"results\":";
        writeNamed(json, kResults);
        json << "},\n\"clearedResults\":[";
        for (std::size_t i = 0; i < kalvoran::calc::kClearedResults.size(); ++i)
            json << (i ? ",\"" : "\"") << kalvoran::calc::kClearedResults[i] << '"';
        json << "],\n\"messages\":";
        writeNamed(json, kMessages);
        json << ",\n\"announcements\":";
        writeNamed(json,
            std::array<Named, 2>{
                {{"resultsShown", announcement::kResultsShown}, {"resultsCleared", announcement::kResultsCleared}}});
        json << ",\n\"errorBoxTitle\":\"" << kErrorBoxTitle << "\"}";
    }
    json << "\n";
    if (argc < 2) {
        std::cout << json.str();
        return 0;
    }
    std::ofstream file(argv[1], std::ios::binary);
    file << json.str();
    if (!file) {
        std::fprintf(stderr, "layout_dump: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
