#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The vocabulary of the window layout tables: every window's controls are
// listed as rows that name their columns (name, kind, caption, box, style and
// whichever others the control needs), with boxes in twips as the layout was
// drawn, and what screen readers say of each; a window is built from its
// table alone.

namespace kalvoran::layout {

// How the tables are drawn, the same on the desktop and in the page.

// 1/1440 inch; 15 twips make one logical pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

// A line's pen, in pixels, centred on the line.
inline constexpr int kLinePenWidth = 2;

// The point size of a caption that names none, in the layout's original face.
inline constexpr double kDefaultPoints = 8.25;

// A face the windows may be drawn in, and how its point sizes compare with
// those of "MS Sans Serif" that the layout was drawn for.
struct Face
{
    std::string_view family;
    double scale;
};

// Liberation Sans runs wider than the bitmap "MS Sans Serif": at 0.91, 8.25 pt
// becomes 7.5 pt, 10 pixels at 96 dots per inch, and every caption keeps to
// the box drawn for it (the layout tests measure each one in the face found).
// The page draws in it everywhere, the desktop wherever it is installed.
inline constexpr Face kLiberationSans{"Liberation Sans", 0.91};

[[nodiscard]] constexpr int toPixels(int twips)
{
    return (twips + (twips >= 0 ? kTwipsPerPixel / 2 : -kTwipsPerPixel / 2)) / kTwipsPerPixel;
}

// Left, Top, Width, Height in twips, from the top left corner of the window's
// client area or of the enclosing frame.
struct TwipsBox
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A straight line from (x1, y1) to (x2, y2), in twips.
struct TwipsLine
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

struct Rgb
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kLightRed{255, 192, 192};
inline constexpr Rgb kDarkRed{192, 0, 0};
// Where a person asks for more contrast, the desktop and the page draw this in
// place of kRed: 7.38:1 on white and 4.76:1 on kLightRed by WCAG's relative
// luminance, where kRed gives 4.00:1 and 2.58:1.
inline constexpr Rgb kMoreContrastRed{176, 0, 0};

enum class Align { Left, Centre };

// How a control's caption looks. Point sizes are those of the layout's
// original face ("MS Sans Serif"); fonts.h maps them onto the face we ship.
struct Style
{
    double points = kDefaultPoints;
    bool bold = false;
    bool italic = false;
    Align align = Align::Left;
    Rgb text = kBlack;
    Rgb background = kWhite;
    bool ownColours = true; // false: the toolkit's colours (text boxes, buttons)
};

inline constexpr Style kRegular{};
inline constexpr Style kToolkit{.ownColours = false};
inline constexpr Style kBold{.bold = true, .ownColours = false};
inline constexpr Style kCentred{.align = Align::Centre};
inline constexpr Style kBoldRed{.bold = true, .text = kRed};
inline constexpr Style kItalicRed{.italic = true, .text = kRed};
inline constexpr Style kCentredRed{.align = Align::Centre, .text = kRed};
inline constexpr Style kRedLine{.text = kRed}; // a line takes its colour from the text

enum class Kind {
    Label,
    TextBox,          // single line, editable
    MultiLineTextBox, // editable, word-wrapped
    ComboBox,         // editable drop-down with a fixed list
    PushButton,
    GroupBox, // a frame with a caption; hides what it holds
    Line,
    PictureBox,
};

// One row of a layout table, written with designated initialisers: a row
// names the columns it uses and leaves the rest at their defaults.
struct Control
{
    std::string_view name;
    int index = -1; // the element of a control array, -1 for a plain control
    Kind kind = Kind::Label;
    std::string_view caption; // or initial text; a picture's resource path
    TwipsBox box{};
    Style style{};
    std::string_view names;                  // for a label: the field it names
    std::string_view parent;                 // the frame it sits in, empty for the window
    TwipsLine line{};                        // for a line only
    std::span<const std::string_view> items; // for a combo box: its fixed list, in order
    // What a screen reader says of a control that no label names; a labelled
    // field takes its label's caption.
    std::string_view accessibleName;
    std::string_view accessibleDescription; // a hint, read with the control
};

// A control by name and, for an element of a control array, index.
struct ControlRef
{
    std::string_view name;
    int index = -1;
};

// How a window's frame looks and behaves.
enum class WindowFrame {
    FixedToolWindow, // small caption, not resizable, no task-bar entry
    FixedDialog,     // not resizable, no minimise or maximise box
    Sizable,         // resizable, no minimise or maximise box
};

// Everything a window is built from.
struct WindowLayout
{
    std::string_view name;
    std::string_view caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    WindowFrame frame = WindowFrame::FixedDialog;
    std::span<const Control> controls;
    std::span<const ControlRef> tabOrder; // the controls that take focus, in Tab order
};

} // namespace kalvoran::layout
