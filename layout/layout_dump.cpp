// Prints everything the two front ends share as one JSON object, read from
// the program's own tables: every window's layout, the moves between the
// screens, the names code reaches controls by, how the tables are drawn, and
// the texts the page shows of its own. The end-to-end tests find windows by
// their captions and click controls where the program puts them, and the
// browser page is built from it, without a second copy of any of it. Built
// from the Qt-free layout library alone; the build writes it as layouts.json.
// Usage: layout_dump [OUTPUT.json]  (standard output without a file)
//
// The object: {"windows": [window], "screens": [{"name", "window", "units":
//   "si" | "british" | null}],
//   "moves": [{"screen", "button": {"name", "index"} or null for the close
//   box, "steps": [{"step": "Hide" | "Show" | "End", "screen"}]}],
//   "ids": {window: {id: {"name", "index"}}}, "drawing": {"twipsPerPixel",
//   "linePenWidth" (pixels), "defaultPoints", "face": {"family", "scale"}},
//   "fields": {"inputs": {key: name}, "results": {key: name}},
//   "clearedResults": [name], "messages": {key: text},
//   "announcements": {"resultsShown": text, "resultsCleared": text},
//   "errorBoxTitle": text}
// (keys are the constants' names without the k, first letter lower).
// A window: {"name", "caption", "client": [0, 0, w, h] twips, "clientPixels",
//   "frame": WindowFrame's value, "controls": [control], "tabOrder": [{"name", "index"}],
//   "firstFocus": {"name", "index"} or null}.
// A control: {"name", "index" (-1: no array), "kind": Kind's value,
//   "caption" (initial text, where a label's "&&" shows one "&"; a picture's
//   resource path), "box": [left, top, width, height] twips, in the parent's
//   coordinates, "pixels": the same rounded as the program does, "style":
//   {"points", "bold", "italic", "centred", "text" and "background": [r, g, b],
//   "ownColours"}, "names": the field a label names (its caption is then the
//   field's accessible name), "parent": the group box it sits in or "", "line":
//   [x1, y1, x2, y2] twips, "items": a combo's list, "accessibleName",
//   "accessibleDescription", "tabIndex": its place in tabOrder or -1,
//   "picture": the file under ui/pictures/ or ""}.

#include "calc/calculation.h"
#include "layout/calculation_layouts.h"
#include "layout/ids.h"
#include "layout/info_layouts.h"
#include "layout/layout.h"
#include "layout/moves.h"

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
constexpr std::array<std::string_view, 3> kSteps{"Hide", "Show", "End"};
static_assert(static_cast<std::size_t>(Kind::PictureBox) + 1 == kKinds.size());
static_assert(static_cast<std::size_t>(WindowFrame::Sizable) + 1 == kFrames.size());
static_assert(static_cast<std::size_t>(Step::End) + 1 == kSteps.size());

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
        this->key(key);
        write(value);
    }
    // Starts a field whose value the caller writes.
    std::ostream &key(std::string_view key)
    {
        m_out << (m_first ? "" : ",") << '"' << key << "\":";
        m_first = false;
        return m_out;
    }

private:
    void write(int value) { m_out << value; }
    void write(double value) { m_out << value; }
    void write(bool value) { m_out << (value ? "true" : "false"); }
    void write(Rgb c) { write(std::array{int{c.r}, int{c.g}, int{c.b}}); }
    void write(const TwipsBox &b) { write(std::array{b.left, b.top, b.width, b.height}); }
    void write(const TwipsLine &l) { write(std::array{l.x1, l.y1, l.x2, l.y2}); }
    void write(const ControlRef &ref)
    {
        Object o(m_out);
        o.field("name", ref.name);
        o.field("index", ref.index);
    }
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
    o.key("controls") << '[';
    for (std::size_t i = 0; i < w.controls.size(); ++i) {
        out << (i ? ",\n" : "\n");
        writeControl(out, w, w.controls[i]);
    }
    out << ']';
    o.field("tabOrder", w.tabOrder);
    if (w.tabOrder.empty())
        o.key("firstFocus") << "null";
    else
        o.field("firstFocus", w.tabOrder.front());
}

void writeMove(std::ostream &out, const Move &move)
{
    Object o(out);
    o.field("screen", screenName(move.screen));
    if (move.button.name.empty())
        o.key("button") << "null";
    else
        o.field("button", move.button);
    o.key("steps") << '[';
    for (const Action &action : move.steps) {
        out << (&action == move.steps.begin() ? "" : ",");
        Object step(out);
        step.field("step", kSteps[static_cast<std::size_t>(action.step)]);
        if (action.step != Step::End)
            step.field("screen", screenName(action.screen));
    }
    out << ']';
}

struct NamedRef
{
    std::string_view key;
    ControlRef ref;
};

void writeIds(std::ostream &out, std::string_view window, std::span<const NamedRef> refs, bool first)
{
    out << (first ? "" : ",") << '"' << window << "\":";
    Object o(out);
    for (const auto &[key, ref] : refs)
        o.field(key, ref);
}

namespace id = kalvoran::layout::ids;

constexpr std::array<NamedRef, 8> kMainIds{{{"siUnits", id::main::kSiUnits}, {"britishUnits", id::main::kBritishUnits},
    {"exit", id::main::kExit}, {"about", id::main::kAbout}, {"webAddress", id::main::kWebAddress},
    {"sidePicture", id::main::kSidePicture}, {"banner", id::main::kBanner}, {"noticesLine", id::main::kNoticesLine}}};
constexpr std::array<NamedRef, 7> kCalculationIds{
    {{"calculate", id::calculation::kCalculate}, {"exit", id::calculation::kExit}, {"back", id::calculation::kBack},
        {"clear", id::calculation::kClear}, {"resultsFrame", id::calculation::kResultsFrame},
        {"elevationCaption", id::calculation::kElevationCaption}, {"cFactorHint", id::calculation::kCFactorHint}}};
constexpr std::array<NamedRef, 2> kFarewellIds{{{"end", id::farewell::kEnd}, {"banner", id::farewell::kBanner}}};
constexpr std::array<NamedRef, 3> kAboutIds{
    {{"ok", id::about::kOk}, {"aboutText", id::about::kAboutText}, {"banner", id::about::kBanner}}};

} // namespace

int main(int argc, char **argv)
{
    std::ostringstream json;
    json.imbue(std::locale::classic());
    {
        Object o(json);
        o.key("windows") << '[';
        for (const Screen screen : kScreens) {
            json << (screen == kScreens.front() ? "\n" : ",\n");
            writeWindow(json, layoutOf(screen));
        }
        json << "\n]";
        o.key("fields") << "{\"inputs\":";
        writeNamed(json, kInputs);
        json << ",\"results\":";
        writeNamed(json, kResults);
        json << "}";
        o.field("clearedResults", std::span<const std::string_view>(kalvoran::calc::kClearedResults));
        o.key("messages");
        writeNamed(json, kMessages);
        o.key("announcements");
        writeNamed(json,
            std::array<Named, 2>{
                {{"resultsShown", announcement::kResultsShown}, {"resultsCleared", announcement::kResultsCleared}}});
        o.field("errorBoxTitle", kErrorBoxTitle);
        o.key("screens") << '[';
        for (const Screen screen : kScreens) {
            json << (screen == kScreens.front() ? "" : ",");
            Object entry(json);
            entry.field("name", screenName(screen));
            entry.field("window", layoutOf(screen).name);
            if (const auto units = unitsOf(screen))
                entry.field("units", unitsName(*units));
            else
                entry.key("units") << "null";
        }
        json << ']';
        o.key("moves") << '[';
        for (const Move &move : moves()) {
            json << (&move == moves().data() ? "\n" : ",\n");
            writeMove(json, move);
        }
        json << "\n]";
        o.key("ids") << '{';
        writeIds(json, "main", kMainIds, true);
        writeIds(json, "calculation", kCalculationIds, false);
        writeIds(json, "farewell", kFarewellIds, false);
        writeIds(json, "about", kAboutIds, false);
        json << '}';
        o.key("drawing");
        Object drawing(json);
        drawing.field("twipsPerPixel", kTwipsPerPixel);
        drawing.field("linePenWidth", kLinePenWidth);
        drawing.field("defaultPoints", kDefaultPoints);
        drawing.field("red", kRed);
        drawing.field("moreContrastRed", kMoreContrastRed);
        drawing.key("face");
        Object face(json);
        face.field("family", kLiberationSans.family);
        face.field("scale", kLiberationSans.scale);
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
