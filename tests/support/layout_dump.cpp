// Prints every window's layout as JSON, read from the program's own tables,
// so that the end-to-end tests find windows by their captions and click where
// the program puts its controls without a second copy of any table. Boxes come
// in twips as drawn and in pixels through the program's own rounding.
// Usage: layout_dump [OUTPUT.json]  (standard output without a file)

#include "ui/calculation_layouts.h"
#include "ui/info_layouts.h"
#include "ui/layout.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <span>
#include <sstream>
#include <string_view>

namespace {

using namespace kalvoran::ui;

// The names of Kind's and Frame's values, in their order.
constexpr std::array<std::string_view, 8> kKinds{
    "Label", "TextBox", "MultiLineTextBox", "ComboBox", "PushButton", "Frame", "Line", "PictureBox"};
constexpr std::array<std::string_view, 3> kFrames{"FixedToolWindow", "FixedDialog", "Sizable"};
static_assert(static_cast<std::size_t>(Kind::PictureBox) + 1 == kKinds.size());
static_assert(static_cast<std::size_t>(Frame::Sizable) + 1 == kFrames.size());

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

TwipsBox pixels(const TwipsBox &b)
{
    return {toPixels(b.left), toPixels(b.top), toPixels(b.width), toPixels(b.height)};
}

// A field added to Control is one more line here.
void writeControl(std::ostream &out, const Control &c)
{
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
        writeControl(out, w.controls[i]);
    }
    out << "],\"tabOrder\":[";
    for (std::size_t i = 0; i < w.tabOrder.size(); ++i) {
        out << (i ? "," : "");
        Object ref(out);
        ref.field("name", w.tabOrder[i].name);
        ref.field("index", w.tabOrder[i].index);
    }
    out << ']';
}

} // namespace

int main(int argc, char **argv)
{
    std::ostringstream json;
    json.imbue(std::locale::classic());
    json << "[";
    bool first = true;
    for (const WindowLayout *w :
        {&mainLayout(), &siCalculationLayout(), &britishCalculationLayout(), &farewellLayout(), &aboutLayout()}) {
        json << (first ? "\n" : ",\n");
        first = false;
        writeWindow(json, *w);
    }
    json << "\n]\n";
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
